// The "dialog class" argument of the functions that show a dialog for one use: a
// function that makes the dialog for its owner window. Callers pass
// DfxFormClass<TNetRegConnectForm>(); tests may pass their own maker.
#pragma once

#include <functional>
#include <memory>

class QWidget;

template <class TForm>
using TDfxFormClass = std::function<std::unique_ptr<TForm>(QWidget* owner)>;

template <class TForm>
TDfxFormClass<TForm> DfxFormClass() {
    return [](QWidget* owner) { return std::make_unique<TForm>(owner); };
}
