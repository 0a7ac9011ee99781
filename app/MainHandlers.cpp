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
void TID_Vellorn::TreeView1DblClick(TObject*) {}
void TID_Vellorn::TreeView1KeyPress(TObject*, char&) {}
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
void TID_Vellorn::ToolButton1Click(TObject*) {}
void TID_Vellorn::N26Click(TObject*) {}
void TID_Vellorn::ToolButton2Click(TObject*) {}
void TID_Vellorn::N27Click(TObject*) {}
void TID_Vellorn::ToolButton3Click(TObject*) {}
void TID_Vellorn::N28Click(TObject*) {}
void TID_Vellorn::ToolButton4Click(TObject*) {}
void TID_Vellorn::N29Click(TObject*) {}
void TID_Vellorn::ToolButton5Click(TObject*) {}
void TID_Vellorn::N24Click(TObject*) {}
void TID_Vellorn::N23Click(TObject*) {}
void TID_Vellorn::ToolButton6Click(TObject*) {}
void TID_Vellorn::N14Click(TObject*) {}
void TID_Vellorn::N20Click(TObject*) {}
void TID_Vellorn::N22Click(TObject*) {}
void TID_Vellorn::SetBrClick(TObject*) {}
void TID_Vellorn::N32Click(TObject*) {}
void TID_Vellorn::N34Click(TObject*) {}
void TID_Vellorn::N70Click(TObject*) {}
void TID_Vellorn::N33Click(TObject*) {}
void TID_Vellorn::ToolButton10Click(TObject*) {}
void TID_Vellorn::ComboBox1Select(TObject*) {}
void TID_Vellorn::ComboBox1KeyPress(TObject*, char&) {}
void TID_Vellorn::ComboBox1KeyDown(TObject*, Word&, TShiftState) {}
void TID_Vellorn::WebStatusTextChange(TObject*, const AnsiString&) {}
void TID_Vellorn::WebProgressChange(TObject*, long, long) {}
void TID_Vellorn::WebCommandStateChange(TObject*, long, bool) {}
void TID_Vellorn::WebBeforeNavigate2(TObject*, const AnsiString&, bool&) {}
void TID_Vellorn::WebNavigateComplete2(TObject*, const AnsiString&) {}
void TID_Vellorn::NClick(TObject*) {}
void TID_Vellorn::BClick(TObject*) {}
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
void TID_Vellorn::N75Click(TObject*) {}
void TID_Vellorn::N82Click(TObject*) {}
void TID_Vellorn::ToolButton17Click(TObject*) {}
void TID_Vellorn::N78Click(TObject*) {}
void TID_Vellorn::N85Click(TObject*) {}
void TID_Vellorn::ToolButton19Click(TObject*) {}
void TID_Vellorn::N79Click(TObject*) {}
void TID_Vellorn::N86Click(TObject*) {}
void TID_Vellorn::ToolButton20Click(TObject*) {}
void TID_Vellorn::N76Click(TObject*) {}
void TID_Vellorn::N83Click(TObject*) {}
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
