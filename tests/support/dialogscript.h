#pragma once
// Answers the modal dialogs of one test by their class: each shown dialog runs the step
// given for its class (which may press its buttons) and RunModal returns its result.
// A dialog without a step is cancelled; every class shown is recorded in order.
#include "scopedhandlers.h"

#include <QDialog>

#include <functional>
#include <map>
#include <string>
#include <vector>

class DialogScript {
public:
    using Step = std::function<void(QDialog&)>;

    DialogScript()
        : m_handler([this](QDialog& dialog) {
            const std::string name = dialog.metaObject()->className();
            m_shown.push_back(name);
            const auto step = m_steps.find(name);
            if (step != m_steps.end())
                step->second(dialog);
            else
                dialog.reject();
            return dialog.result();
        })
    {
    }

    // The step for every dialog of the class (its C++ name).
    void On(const std::string& className, Step step) { m_steps[className] = std::move(step); }
    const std::vector<std::string>& Shown() const { return m_shown; }

private:
    std::map<std::string, Step> m_steps;
    std::vector<std::string> m_shown;
    ScopedDialogHandler m_handler;
};
