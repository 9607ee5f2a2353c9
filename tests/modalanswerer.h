#pragma once

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QQueue>
#include <QStringList>
#include <QWidget>

#include <functional>

// Answers the modal dialogs, message boxes and popup menus a test opens, in the order
// queued, each on the newest modal widget (or popup) not answered before. When none
// appears in time, all are closed and failure() says what was waited for.
class ModalAnswerer : public QObject
{
    Q_OBJECT
public:
    // Runs user on the next modal widget once it is active, then rejects it if
    // it is still open: a failing check inside user returns early.
    void onModal(std::function<void(QWidget *)> user, const QString &what = QStringLiteral("dialog"));
    // Clicks the button of the next message box and records its text.
    void answerMessageBox(int button);
    // Picks the action of the next popup menu whose text (without '&') is actionText.
    void chooseMenuAction(const QString &actionText);

    bool done() const { return m_queue.isEmpty() && m_running == 0; }
    QString failure() const { return m_failure; }
    QStringList messageTexts() const { return m_messageTexts; }

private:
    struct Answer {
        bool popup;
        QString what;
        std::function<void(QWidget *)> run;
    };
    void enqueue(Answer answer);
    void poll();

    static constexpr int timeoutMs = 5000;
    QQueue<Answer> m_queue;
    QList<QPointer<QWidget>> m_answered;
    QElapsedTimer m_waiting;
    QString m_failure;
    QStringList m_messageTexts;
    int m_running = 0;
    bool m_polling = false;
};
