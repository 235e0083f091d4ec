#pragma once
// A caption-strip target that records each command it receives; the find and search
// results it gives are set by the test.
#include "document/strip/captiontarget.h"
#include "testsupport.h"

#include <string>
#include <vector>

class RecordingTarget : public CaptionTarget {
public:
    std::vector<std::string> calls;
    bool searchResult = false;
    bool nextResult = false;
    bool prevResult = false;

    bool OnGridSearch(int searchType, const std::wstring& text) override
    {
        calls.push_back("search " + std::to_string(searchType) + " " + testing_support::Utf8(text));
        return searchResult;
    }
    bool OnGridFindNext() override
    {
        calls.push_back("next");
        return nextResult;
    }
    bool OnGridFindPrev() override
    {
        calls.push_back("prev");
        return prevResult;
    }
    void OnGridAddRow() override { calls.push_back("add"); }
    void OnGridDeleteRows() override { calls.push_back("delete"); }
    void OnGridReferenceDown() override { calls.push_back("down"); }
    void OnGridReferenceUp() override { calls.push_back("up"); }
    void OnGridUndoRow() override { calls.push_back("undo"); }
};
