// The title search and the filtered views: both fill the results tree (TreeView2) from the article
// tree, walking the trees' nodes (no window message per node) and adding the results in one
// update of the view.
#pragma once

#include "Main.h"

// One word of a search. Without InFound: every entry of Source (folders are never results) whose
// title contains Word is added to Results as a top-level node with the entry's title and image,
// unless Results already holds that title (compared without letter case and "&" marks). With
// InFound: the nodes of Results whose titles do not contain Word are removed (Source is not
// read). Titles and Word are compared upper-cased by the code page's rules unless MatchCase. An
// empty Word occurs in no title: it adds nothing, and with InFound it removes every result.
void SearchWord(TTreeNodes& Results, const TTreeNodes& Source, const AnsiString& Word, bool MatchCase,
                bool InFound);

// Replaces the nodes of Results with a top-level copy of every node of Source whose image is
// Image; answers their number.
int CopyNodesWithImage(TTreeNodes& Results, const TTreeNodes& Source, Integer Image);

// Shows page Index of the tree panel (0 the articles, 1 the search results) with the count of
// that page in status panel 1 and "Сохранить дерево" enabled only on the articles page.
void ShowTreePage(TID_Vellorn* Form, int Index);
