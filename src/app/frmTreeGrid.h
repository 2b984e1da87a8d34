#pragma once
// The demo grid: an order list of a million rows in a skinned string tree with its skinned
// scroll bars and bordered panel, texts made from each row's number when they are painted
// (nothing is stored per row). The tour shows it scrolled to the middle.

#include "framework/uQvForms.h"
#include "treeview/uQvTreeTypes.h"

class TPelluxBorderPanel;
class TPelluxScrollBar;
class TPelluxStringTree;

class TTreeGridForm : public TForm {
public:
    explicit TTreeGridForm(TComponent* AOwner, int Rows = 1000000);

    TPelluxStringTree* Grid() const { return FGrid; }
    // Centres row Row, focuses and selects it.
    void ShowRow(int Row);

private:
    void GetText(PQvNode Node, int Column, String& Text) const;
    void LayOut();

    TPelluxBorderPanel* FFrame = nullptr;
    TPelluxStringTree* FGrid = nullptr;
    TPelluxScrollBar* FVBar = nullptr;
    TPelluxScrollBar* FHBar = nullptr;
};
