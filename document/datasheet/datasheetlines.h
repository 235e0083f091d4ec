#pragma once
// What the model's bridge tells of a datasheet's lines: the document's row source
// (DatasheetRows), which every grid over the datasheet listens to, takes the line count
// the rows loaded so far give.
class CDataInterface;

class DatasheetLines {
public:
    virtual ~DatasheetLines() = default;

    // The number of lines, the new-row line included. Lines already shown keep their
    // painted texts: nothing is invalidated as a whole.
    virtual void UpdateLineCount(int count) = 0;
    // The bridge is going: lines that reach the model through it let go of it.
    virtual void DetachDataInterface(CDataInterface*) {}
};
