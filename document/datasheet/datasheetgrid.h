#pragma once
// What the datasheet model needs of the grid that shows it: the grid frame of a data
// window implements it, and the model's bridge sets the grid's row count through it.
class CDataInterface;

class DatasheetGrid {
public:
    virtual ~DatasheetGrid() = default;

    // The number of lines the grid shows, the new-row line included. Lines already
    // shown keep their painted texts: nothing is invalidated as a whole.
    virtual void SetItemCountEx(int count) = 0;
    // The bridge is going: a grid that reaches the model through it lets go of it.
    virtual void DetachDataInterface(CDataInterface*) {}
};
