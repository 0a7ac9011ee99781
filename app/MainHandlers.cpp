// Handlers of the main window that do nothing yet; each is replaced by its behaviour in the
// Main*.cpp file of its area (delete the line here when defining it there).
#include "Main.h"

void TID_Vellorn::N4Click(TObject*) {}
void TID_Vellorn::N7Click(TObject*) {}
void TID_Vellorn::N9Click(TObject*) {}
void TID_Vellorn::N40Click(TObject*) {}
void TID_Vellorn::N10Click(TObject*) {}
void TID_Vellorn::N41Click(TObject*) {}
void TID_Vellorn::N15Click(TObject*) {}
void TID_Vellorn::N25Click(TObject*) {}
void TID_Vellorn::N12Click(TObject*) {}
void TID_Vellorn::N43Click(TObject*) {}
void TID_Vellorn::N42Click(TObject*) {}
void TID_Vellorn::N65Click(TObject*) {}
void TID_Vellorn::N55Click(TObject*) {}
void TID_Vellorn::N66Click(TObject*) {}
void TID_Vellorn::N56Click(TObject*) {}
void TID_Vellorn::N67Click(TObject*) {}
void TID_Vellorn::N57Click(TObject*) {}
void TID_Vellorn::N68Click(TObject*) {}
void TID_Vellorn::N92Click(TObject*) {}
void TID_Vellorn::N93Click(TObject*) {}
void TID_Vellorn::TreeView1Edited(TObject*, TTreeNode*, AnsiString&) {}
void TID_Vellorn::TreeView1DragOver(TObject*, TObject*, int, int, TDragState, bool&) {}
void TID_Vellorn::TreeView1DragDrop(TObject*, TObject*, int, int) {}
void TID_Vellorn::TreeView1Click(TObject*) {}
void TID_Vellorn::TreeView1ContextPopup(TObject*, TPoint, bool&) {}
void TID_Vellorn::Timer2Timer(TObject*) {}
void TID_Vellorn::N80Click(TObject*) {}
void TID_Vellorn::N73Click(TObject*) {}
void TID_Vellorn::N31Click(TObject*) {}
void TID_Vellorn::N94Click(TObject*) {}
void TID_Vellorn::Flash1Click(TObject*) {}
void TID_Vellorn::Flash2Click(TObject*) {}
void TID_Vellorn::N62Click(TObject*) {}
void TID_Vellorn::N72Click(TObject*) {}
void TID_Vellorn::Timer1Timer(TObject*) {}
void TID_Vellorn::N17Click(TObject*) {}
void TID_Vellorn::N96Click(TObject*) {}
void TID_Vellorn::Button1Click(TObject*) {}
void TID_Vellorn::Button2Click(TObject*) {}
void TID_Vellorn::Button3Click(TObject*) {}
void TID_Vellorn::Panel1MouseDown(TObject*, TMouseButton, TShiftState, int, int) {}
void TID_Vellorn::Timer4Timer(TObject*) {}
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
void TID_Vellorn::Splitter1CanResize(TObject*, int&, bool&) {}
