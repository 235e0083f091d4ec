#pragma once
// The application data store: named nodes of one type, each holding text values,
// in the file Data/KVZDATA.KVZ beside the executable. The program opens the file but
// never creates it. Every operation opens and closes the file on its own connection
// and shows its own failures; NextValue is the one program-wide list enumerator.
#include <string>
#include <vector>

// Node types. Only text nodes are enumerated.
inline constexpr int NODE_TYPE_NUMBER = 1; // one number held as decimal text
inline constexpr int NODE_TYPE_TEXT = 3;   // one text or a list of texts

class CAppDataFile {
public:
    // Stores the path; true when a file exists there. A missing file shows its box.
    bool SetFile(const std::wstring& path);

    bool NodeExists(const std::wstring& name);
    // False when the name exists already (whatever its type) or on failure.
    bool CreateNode(const std::wstring& name, int type);
    bool ValueExists(const std::wstring& name, const std::wstring& text);
    // Stores the text with every single quote replaced by a backquote, unless the node
    // is missing or already holds that value.
    bool AddTextValue(const std::wstring& name, const std::wstring& text);
    // Stores the text exactly as given (the saved queries), unless the node is missing or
    // one of its values reads as the text already (see ReadExactTextValues).
    bool AddExactTextValue(const std::wstring& name, const std::wstring& text);
    // Every value of the node, in the order they were added, each as it was given: a
    // value stored exactly as it is, one stored by AddTextValue with its backquotes
    // turned back into single quotes. Empty for a missing node or on failure.
    std::vector<std::wstring> ReadExactTextValues(const std::wstring& name);
    // One enumeration at a time in the program: the call that starts reads the name and
    // gives the first value; the call after the last value returns false and arms the
    // next start. Callers loop until false; a call for another node or another file ends
    // the enumeration in progress and starts that one.
    bool NextValue(const std::wstring& name, std::wstring& out);
    // The node's first value; out is left untouched when there is none.
    bool GetTextValue(const std::wstring& name, std::wstring& out);
    // Sets every value of the node to the text, unchanged.
    bool UpdateTextValue(const std::wstring& name, const std::wstring& text);

    std::wstring m_strFilePath;
};
