#pragma once
// The window that owns a grid frame: it records each message the frame sends it.
#include "platform/messagetarget.h"

#include <QWidget>

#include <tuple>
#include <vector>

class OwnerWindow : public QWidget, public platform::MessageTarget {
public:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        messages.emplace_back(message, static_cast<int>(wParam), static_cast<int>(lParam));
        return 0;
    }
    std::vector<std::tuple<UINT, int, int>> messages;
};
