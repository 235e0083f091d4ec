#pragma once
// A main frame that records the messages the workspace sends it, with the texts they
// carry, answers the rename with a result the test chooses, and clears the database
// state on UM_CLEAR_WORKSPACE as the real one does.
#include "data/constants.h"
#include "document/session/cmainframebase.h"
#include "document/session/currentdatabase.h"

#include <string>
#include <vector>

struct SentMessage {
    UINT message;
    WPARAM wParam;
    std::wstring text;                // the text behind lParam, when the message carries one
    std::vector<std::wstring> names;  // UM_RENAME_TABLE's {old, new}
};

class WorkspaceMainFrame : public CMainFrameBase {
public:
    WorkspaceMainFrame() { g_pMainFrame = this; }
    ~WorkspaceMainFrame() override { g_pMainFrame = nullptr; }

    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        SentMessage sent{message, wParam, {}, {}};
        if (message == UM_RENAME_TABLE)
            sent.names = *reinterpret_cast<const std::vector<std::wstring>*>(lParam);
        else if (lParam)
            sent.text = *reinterpret_cast<const std::wstring*>(lParam);
        messages.push_back(sent);
        if (message == UM_CLEAR_WORKSPACE) {
            DestroyDatabaseGlobals();
            CreateDatabaseGlobals();
        }
        return message == UM_RENAME_TABLE ? renameResult : 0;
    }

    // The messages other than the selection notices of clicks.
    std::vector<SentMessage> Requests() const
    {
        std::vector<SentMessage> out;
        for (const SentMessage& sent : messages)
            if (sent.message != UM_TREE_SELECTION)
                out.push_back(sent);
        return out;
    }

    std::vector<SentMessage> messages;
    LRESULT renameResult = 1;
};
