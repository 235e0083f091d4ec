#include "data/cappdatafile.h"

#include "data/cadbsqldb.h"
#include "data/cadbsqlexception.h"
#include "data/constants.h"
#include "data/failure.h"
#include "data/formatstring.h"
#include "data/rowiteration.h"
#include "platform/files.h"
#include "platform/messagebox.h"

#include <algorithm>
#include <functional>
#include <initializer_list>
#include <optional>
#include <vector>

namespace {

constexpr wchar_t kMissingFileText[] = L"Application data file <KVZDATA.KVZ> is missing.\nCan not continue.";
constexpr wchar_t kNotSupportedText[] = L"Not yet supported";

// Names and texts are bound as parameters, so none can change what a statement does.
constexpr wchar_t kNodeQuery[] = L"SELECT * FROM [Node] WHERE [NodeName] = ?";
constexpr wchar_t kNodeNameQuery[] = L"SELECT [NodeName] FROM [Node] WHERE [NodeName] = ?";
constexpr wchar_t kInsertNode[] = L"INSERT INTO [Node] VALUES (NULL,?,%d)";
// NodeID has integer affinity, so the quoted decimal finds the node's values.
constexpr wchar_t kValuesQuery[] = L"SELECT * FROM [NodeValue] WHERE NodeID = '%d'";
constexpr wchar_t kValueQuery[] = L"SELECT * FROM [NodeValue] WHERE [NodeID] = '%d' AND [TextVal] = ?";
constexpr wchar_t kInsertValue[] = L"INSERT INTO [NodeValue] (NodeID,TextVal) VALUES(%d,?)";
constexpr wchar_t kUpdateValues[] = L"UPDATE [NodeValue] SET TextVal = ? WHERE NodeID = '%d'";
// A value stored exactly as given carries 1 in BlobVal, which every other operation
// leaves NULL: a value without it was stored with its single quotes as backquotes, and
// reads with them turned back.
#define TABULON_EXACT_TEXT L"(CASE WHEN [BlobVal] IS 1 THEN [TextVal] ELSE replace([TextVal], '`', '''') END)"
constexpr wchar_t kExactValuesQuery[] = L"SELECT " TABULON_EXACT_TEXT L" FROM [NodeValue] WHERE NodeID = '%d'";
constexpr wchar_t kExactValueQuery[] =
    L"SELECT 1 FROM [NodeValue] WHERE [NodeID] = '%d' AND " TABULON_EXACT_TEXT L" = ?";
#undef TABULON_EXACT_TEXT
constexpr wchar_t kInsertExactValue[] = L"INSERT INTO [NodeValue] (NodeID,TextVal,BlobVal) VALUES(%d,?,1)";

// Column positions of "SELECT *".
constexpr int kNodeIdColumn = 0;
constexpr int kNodeTypeColumn = 2;
constexpr int kTextValColumn = 2;

// The list enumerator's state, shared by the whole program. The enumeration in progress
// is of one node of one file.
CADbSqlDb g_enumDb;
CADbSqlQuery g_enumQuery;
RowIteration g_enumIteration;

using Texts = std::initializer_list<std::reference_wrapper<const std::wstring>>;

struct NodeRow {
    sqlite3_int64 id;
    int type;
};

// Opens the store's file. The engine would make an empty database at a missing path;
// the store never creates its file, so a file that vanished is a failure.
void OpenStore(CADbSqlDb& db, const std::wstring& path)
{
    if (!platform::FileExists(path))
        throw CADbSqlException(SQLITE_CANTOPEN, L"unable to open database file", L"OpenDb");
    db.OpenDb(path);
}

// The texts as the values of a statement's parameters.
std::vector<SqlValue> TextValues(Texts texts)
{
    std::vector<SqlValue> values;
    for (const std::wstring& text : texts) {
        SqlValue value;
        value.m_nType = SQLITE_TEXT;
        value.m_strText = text;
        values.push_back(value);
    }
    return values;
}

void QueryBound(CADbSqlDb& db, CADbSqlQuery& out, const std::wstring& sql, Texts texts)
{
    db.Query(out, sql, TextValues(texts));
}

void ExecuteBound(CADbSqlDb& db, const std::wstring& sql, Texts texts) { db.ExecuteCmd(sql, TextValues(texts)); }

// Whether the query, with the texts bound, gives a row.
bool HasRow(CADbSqlDb& db, const std::wstring& sql, Texts texts)
{
    CADbSqlQuery query;
    QueryBound(db, query, sql, texts);
    const bool found = !query.Eof();
    query.Finalize();
    return found;
}

// The node query: the node's id and type when a node of that name exists.
std::optional<NodeRow> FindNode(CADbSqlDb& db, const std::wstring& name)
{
    CADbSqlQuery query;
    QueryBound(db, query, kNodeQuery, {name});
    std::optional<NodeRow> node;
    if (!query.Eof())
        node = NodeRow{query.GetInt64Field(kNodeIdColumn), query.GetIntField(kNodeTypeColumn)};
    query.Finalize();
    return node;
}

// The common frame of the operations: a private connection on the file for the body,
// closed on every path; a failure shows its box with the operation's location code
// and gives false.
template <typename Body> bool WithStore(const std::wstring& path, const wchar_t* location, Body body)
{
    CADbSqlDb db;
    try {
        OpenStore(db, path);
        const bool result = body(db);
        db.CloseDb();
        return result;
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, location);
        return false;
    }
}

} // namespace

bool CAppDataFile::SetFile(const std::wstring& path)
{
    m_strFilePath = path;
    if (path.empty())
        return false;
    if (platform::FileExists(path))
        return true;
    platform::MessageBox(nullptr, kMissingFileText, STR_ERROR_CAPTION,
                         platform::MB_OK | platform::MB_ICONERROR);
    return false;
}

bool CAppDataFile::NodeExists(const std::wstring& name)
{
    return WithStore(m_strFilePath, LOC_NODE_EXISTS,
                     [&](CADbSqlDb& db) { return HasRow(db, kNodeNameQuery, {name}); });
}

bool CAppDataFile::CreateNode(const std::wstring& name, int type)
{
    if (NodeExists(name))
        return false;
    return WithStore(m_strFilePath, LOC_CREATE_NODE, [&](CADbSqlDb& db) {
        std::wstring sql;
        ExecuteBound(db, FormatString(sql, kInsertNode, type), {name});
        return true;
    });
}

bool CAppDataFile::ValueExists(const std::wstring& name, const std::wstring& text)
{
    return WithStore(m_strFilePath, LOC_VALUE_EXISTS, [&](CADbSqlDb& db) {
        const std::optional<NodeRow> node = FindNode(db, name);
        if (!node)
            return false;
        if (node->type != NODE_TYPE_NUMBER && node->type != NODE_TYPE_TEXT) {
            // Counted as present, so nothing is ever added to such a node.
            platform::MessageBox(nullptr, kNotSupportedText, STR_PRODUCT_NAME,
                                 platform::MB_OK | platform::MB_ICONWARNING);
            return true;
        }
        std::wstring sql;
        return HasRow(db, FormatString(sql, kValueQuery, node->id), {text});
    });
}

bool CAppDataFile::AddTextValue(const std::wstring& name, const std::wstring& text)
{
    // Stored values never hold a single quote: each becomes a backquote, so a text that
    // differs from a stored value only by quotes against backquotes counts as the same.
    std::wstring stored = text;
    std::replace(stored.begin(), stored.end(), L'\'', L'`');
    if (ValueExists(name, stored))
        return false;
    return WithStore(m_strFilePath, LOC_ADD_TEXT_VALUE, [&](CADbSqlDb& db) {
        const std::optional<NodeRow> node = FindNode(db, name);
        if (!node)
            return false;
        std::wstring sql;
        ExecuteBound(db, FormatString(sql, kInsertValue, node->id), {stored});
        return true;
    });
}

bool CAppDataFile::AddExactTextValue(const std::wstring& name, const std::wstring& text)
{
    return WithStore(m_strFilePath, LOC_ADD_TEXT_VALUE, [&](CADbSqlDb& db) {
        const std::optional<NodeRow> node = FindNode(db, name);
        if (!node)
            return false;
        std::wstring sql;
        if (HasRow(db, FormatString(sql, kExactValueQuery, node->id), {text}))
            return false;
        ExecuteBound(db, FormatString(sql, kInsertExactValue, node->id), {text});
        return true;
    });
}

std::vector<std::wstring> CAppDataFile::ReadExactTextValues(const std::wstring& name)
{
    std::vector<std::wstring> values;
    WithStore(m_strFilePath, LOC_NEXT_VALUE, [&](CADbSqlDb& db) {
        const std::optional<NodeRow> node = FindNode(db, name);
        if (!node)
            return false;
        std::wstring sql;
        CADbSqlQuery query;
        db.Query(query, FormatString(sql, kExactValuesQuery, node->id));
        for (; !query.Eof(); query.NextRow()) {
            const wchar_t* value = query.GetFieldValue(0);
            values.push_back(value ? value : L"");
        }
        // A failed step ends the list after the values read before it.
        if (query.StepFailed())
            throw query.StepFailure();
        return true;
    });
    return values;
}

namespace {

// Ends the enumeration in progress: its statement and its connection go.
void EndEnumeration()
{
    g_enumIteration.End();
    g_enumQuery = CADbSqlQuery();
    try {
        g_enumDb.CloseDb();
    } catch (const CADbSqlException& e) {
        ShowFailureBox(e, LOC_NEXT_VALUE);
    }
}

} // namespace

bool CAppDataFile::NextValue(const std::wstring& name, std::wstring& out)
{
    // The file's path and the node's name, apart by a character neither holds.
    const std::wstring list = m_strFilePath + L'\0' + name;
    if (!g_enumIteration.Continues(list, g_enumQuery.m_pStmt)) {
        // An enumeration of another list that was left early ends first.
        EndEnumeration();
        try {
            OpenStore(g_enumDb, m_strFilePath);
            const std::optional<NodeRow> node = FindNode(g_enumDb, name);
            // Only text nodes are enumerated; any other leaves the query at its end.
            if (node && node->type == NODE_TYPE_TEXT) {
                std::wstring sql;
                g_enumDb.Query(g_enumQuery, FormatString(sql, kValuesQuery, node->id));
            }
        } catch (const CADbSqlException& e) {
            ShowFailureBox(e, LOC_NEXT_VALUE);
        }
        g_enumIteration.Begin(list, g_enumQuery.m_pStmt);
    }

    if (!g_enumQuery.Eof()) {
        const wchar_t* value = g_enumQuery.GetFieldValue(kTextValColumn);
        out = value ? value : L"";
        // A failed step ends the enumeration after the values read before it.
        if (g_enumQuery.NextRow() && g_enumQuery.StepFailed())
            ShowFailureBox(g_enumQuery.StepFailure(), LOC_NEXT_VALUE);
        return true;
    }

    EndEnumeration();
    return false;
}

bool CAppDataFile::GetTextValue(const std::wstring& name, std::wstring& out)
{
    std::wstring value;
    const bool found = WithStore(m_strFilePath, LOC_GET_TEXT_VALUE, [&](CADbSqlDb& db) {
        const std::optional<NodeRow> node = FindNode(db, name);
        if (!node)
            return false;
        std::wstring sql;
        CADbSqlQuery query;
        db.Query(query, FormatString(sql, kValuesQuery, node->id));
        const bool hasValue = !query.Eof();
        if (hasValue) {
            const wchar_t* text = query.GetFieldValue(kTextValColumn);
            value = text ? text : L"";
        }
        query.Finalize();
        return hasValue;
    });
    if (found)
        out = value;
    return found;
}

bool CAppDataFile::UpdateTextValue(const std::wstring& name, const std::wstring& text)
{
    return WithStore(m_strFilePath, LOC_UPDATE_TEXT_VALUE, [&](CADbSqlDb& db) {
        const std::optional<NodeRow> node = FindNode(db, name);
        if (!node)
            return false;
        std::wstring sql;
        ExecuteBound(db, FormatString(sql, kUpdateValues, node->id), {text});
        return true;
    });
}
