#include "Waiting.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QMessageBox>

namespace kelo::appshots {

namespace {

// How often a condition or the dialogs are looked at.
constexpr int kPollMs = 10;

}  // namespace

bool waitUntil(const std::function<bool()>& done, int deadlineMs) {
    if (done()) return true;
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done()) loop.quit();
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    poll.start(kPollMs);
    deadline.start(deadlineMs);
    loop.exec();
    return done();
}

PromptGuard::PromptGuard() {
    connect(&poll, &QTimer::timeout, this, &PromptGuard::closeUnexpected);
    poll.start(kPollMs);
}

QString PromptGuard::takeUnexpected() {
    QString text;
    text.swap(unexpected);
    return text;
}

void PromptGuard::closeUnexpected() {
    auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (dialog == nullptr || (expected && expected(dialog))) return;
    auto* box = qobject_cast<QMessageBox*>(dialog);
    if (box == nullptr) {
        unexpected = dialog->windowTitle();
        dialog->reject();
        return;
    }
    unexpected = (box->text() + " " + box->informativeText()).simplified();
    // The button that answers "no": Cancel, No, or whatever Escape presses.
    QAbstractButton* refusal = box->escapeButton();
    if (refusal == nullptr) refusal = box->button(QMessageBox::Cancel);
    if (refusal == nullptr) refusal = box->button(QMessageBox::No);
    if (refusal != nullptr)
        refusal->click();
    else
        box->reject();
}

}  // namespace kelo::appshots
