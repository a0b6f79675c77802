// Waiting on the running window: event processing until a condition holds or
// a deadline passes, and the guard that answers the message boxes nobody
// expected, so that a scripted run never hangs on a question.
#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>
#include <utility>

class QWidget;

namespace kelo::appshots {

// Processes events until `done` holds or `deadlineMs` passed; the result of
// `done` at the end.
bool waitUntil(const std::function<bool()>& done, int deadlineMs);

// Watches for modal dialogs other than those expected, notes the
// question they asked and closes them the way Cancel does.
class PromptGuard : public QObject {
public:
    PromptGuard();

    // Dialogs for which `isExpected` holds are left to the caller; none
    // when it is empty.
    void expect(std::function<bool(const QWidget*)> isExpected) {
        expected = std::move(isExpected);
    }
    // The text of the last dialog closed by the guard; empty when none.
    QString takeUnexpected();

private:
    void closeUnexpected();

    QTimer poll;
    std::function<bool(const QWidget*)> expected;
    QString unexpected;
};

}  // namespace kelo::appshots
