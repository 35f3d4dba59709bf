#pragma once

// Answers the program's modal dialogs as a user would. Each dialog that comes up is handed to
// the next answer in line; one that comes up with no answer left is cancelled and counted as
// unexpected, so a test that wrongly opens a dialog fails instead of waiting forever.

#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QTimer>

#include <deque>
#include <functional>

class DialogAnswers {
public:
    using Answer = std::function<void(QDialog&)>;

    DialogAnswers() {
        QObject::connect(&watch, &QTimer::timeout, [this] { Look(); });
        watch.start(5);
    }

    void Then(Answer answer) { answers.push_back(std::move(answer)); }

    int shown = 0;
    int unexpected = 0;
    QStringList titles;

private:
    static constexpr const char* kSeen = "answeredByTest";

    void Look() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible() || dialog->property(kSeen).toBool())
            return;
        dialog->setProperty(kSeen, true);
        ++shown;
        titles.append(dialog->windowTitle());
        Answer answer;
        if (answers.empty()) {
            ++unexpected;
            answer = [](QDialog& d) { d.reject(); };
        } else {
            answer = std::move(answers.front());
            answers.pop_front();
        }
        // Queued, so that a dialog the answer opens in turn does not hold up this watch.
        QTimer::singleShot(0, dialog, [dialog = QPointer<QDialog>(dialog), answer] {
            if (dialog)
                answer(*dialog);
        });
    }

    QTimer watch;
    std::deque<Answer> answers;
};
