// Handlers of the main window that do nothing yet; each is replaced by its behaviour in the
// Main*.cpp file of its area (delete the line here when defining it there).
#include "Main.h"

void TID_Vellorn::N88Click(TObject*) {}
void TID_Vellorn::N19Click(TObject*) {}
void TID_Vellorn::Timer3Timer(TObject*) {}
void TID_Vellorn::N58Click(TObject*) {}
void TID_Vellorn::N59Click(TObject*) {}
void TID_Vellorn::N60Click(TObject*) {}
void TID_Vellorn::N61Click(TObject*) {}
void TID_Vellorn::Flash3Click(TObject*) {}
void TID_Vellorn::N38Click(TObject*) {}
void TID_Vellorn::ToolButton16Click(TObject*) {}
void TID_Vellorn::PageControl1Change(TObject*) {}
void TID_Vellorn::TabSheet4Show(TObject*) {}
void TID_Vellorn::TreeView2Click(TObject*) {}
void TID_Vellorn::TreeView2DblClick(TObject*) {}
void TID_Vellorn::TreeView2KeyPress(TObject*, char&) {}
void TID_Vellorn::N5Click(TObject*) {}
void TID_Vellorn::Timer5Timer(TObject*) {}
void TID_Vellorn::N87Click(TObject*) {}
void TID_Vellorn::N89Click(TObject*) {}
void TID_Vellorn::N90Click(TObject*) {}
void TID_Vellorn::ToolButton13Click(TObject*) {}
void TID_Vellorn::N35Click(TObject*) {}
void TID_Vellorn::ToolButton15Click(TObject*) {}
void TID_Vellorn::SettClick(TObject*) {}
