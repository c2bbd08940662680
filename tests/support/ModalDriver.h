// Drives a modal dialog as a person would once it is up: the test states the
// step before it calls the code that shows the dialog, and the step runs inside
// that dialog's modal loop. A dialog the step leaves open is closed after a
// while, with a failure, so that a failing test cannot hang.
//
//   auto driver = WhenModal<TNetRegConnectForm>([](TNetRegConnectForm* dialog) { ... });
//   int result = DfxOpenMachineConnection(...);
//   EXPECT_TRUE(driver->Ran());
#pragma once

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <utility>

namespace testsupport {

class ModalDriver {
public:
    // `attempt` runs the step when the dialog it looks for is up and returns it.
    explicit ModalDriver(std::function<QWidget*()> attempt) : attempt_(std::move(attempt)) {
        QObject::connect(&timer_, &QTimer::timeout, &timer_, [this] { Poll(); });
        timer_.start(5);
    }
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    bool Ran() const { return ran_; }

private:
    void Poll() {
        QWidget* dialog = attempt_();
        if (dialog == nullptr) {
            return;
        }
        timer_.stop();
        ran_ = true;
        QPointer<QWidget> left(dialog);
        QTimer::singleShot(3000, dialog, [left] {
            if (left != nullptr && left->isVisible()) {
                ADD_FAILURE() << "the dialog was left open";
                if (auto* d = qobject_cast<QDialog*>(left.data())) {
                    d->reject();
                }
            }
        });
    }

    std::function<QWidget*()> attempt_;
    QTimer timer_;
    bool ran_ = false;
};

template <class TDialog, class Step>
std::unique_ptr<ModalDriver> WhenModal(Step step) {
    return std::make_unique<ModalDriver>([step]() -> QWidget* {
        auto* dialog = qobject_cast<TDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr || !dialog->isVisible()) {
            return nullptr;
        }
        step(dialog);
        return dialog;
    });
}

} // namespace testsupport
