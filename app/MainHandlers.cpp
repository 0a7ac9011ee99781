// Handlers of the main window that do nothing yet; each is replaced by its behaviour in the
// Main*.cpp file of its area (delete the line here when defining it there).
#include "Main.h"

void TID_Vellorn::N5Click(TObject*) {}
void TID_Vellorn::Timer5Timer(TObject*) {}
void TID_Vellorn::N87Click(TObject*) {}
void TID_Vellorn::N89Click(TObject*) {}
void TID_Vellorn::N90Click(TObject*) {}
void TID_Vellorn::ToolButton13Click(TObject*) {}
