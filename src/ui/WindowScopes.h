#pragma once
// Scopes that keep the window's bookkeeping right however a handler ends.
#include "TPixadra_Main.h"

namespace pixadra {

// One running handler: while any runs, closing the window defers releasing what it uses.
class HandlerScope {
public:
    explicit HandlerScope(TPixadra_Main& window) : window_(window) { ++window_.handlerDepth_; }
    ~HandlerScope() {
        if (--window_.handlerDepth_ == 0 && window_.releasePending_) window_.ReleaseResources();
    }
    HandlerScope(const HandlerScope&) = delete;
    HandlerScope& operator=(const HandlerScope&) = delete;

private:
    TPixadra_Main& window_;
};

// SetBusy(true) now and SetBusy(false) at the end, also when an error passes.
class BusyScope {
public:
    explicit BusyScope(TPixadra_Main& window) : window_(window) { window_.SetBusy(true); }
    ~BusyScope() { window_.SetBusy(false); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    TPixadra_Main& window_;
};

// The word of the language file as Qt text.
QString Word(const char* section, const char* key);

}  // namespace pixadra
