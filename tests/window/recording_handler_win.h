#pragma once

#include <string>
#include <vector>

#include "launcher/window/browser_events_win.h"

// Stands in for the launcher's window: records what reaches it and answers
// with the decisions set beforehand.
class RecordingHandler : public BrowserEventHandler {
public:
    bool OnBeforeNavigate(std::u16string_view url) noexcept override {
        navigations.emplace_back(url);
        return cancel_navigation;
    }
    bool OnNewWindow() noexcept override {
        ++new_windows;
        return refuse_window;
    }
    void OnDocumentComplete() noexcept override { ++documents; }
    void OnDownloadComplete() noexcept override { ++downloads; }

    bool cancel_navigation = true;
    bool refuse_window = true;
    std::vector<std::u16string> navigations;
    int new_windows = 0;
    int documents = 0;
    int downloads = 0;
};
