#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

namespace {
constexpr int pollMs = 10;
}

ModalAnswerer::ModalAnswerer(int timeoutMs, QObject *parent)
    : QObject(parent)
    , m_timeoutMs(timeoutMs)
{
}

void ModalAnswerer::onModal(std::function<void(QWidget *)> answer, const QString &what)
{
    enqueue({false, what, std::move(answer)});
}

void ModalAnswerer::onDialog(std::function<void(QWidget *)> user, const QString &what)
{
    onModal([user, what](QWidget *widget) {
        if (QTest::qWaitForWindowActive(widget))
            user(widget);
        else
            QTest::qFail(qPrintable(what + QStringLiteral(" never became active")), __FILE__, __LINE__);
        if (auto *dialog = qobject_cast<QDialog *>(widget); dialog && dialog->isVisible())
            dialog->reject();
    }, what);
}

void ModalAnswerer::answerMessageBox(int button)
{
    enqueue({false, QStringLiteral("message box"), [this, button](QWidget *widget) {
                 auto *box = qobject_cast<QMessageBox *>(widget);
                 QAbstractButton *chosen = box ? box->button(QMessageBox::StandardButton(button)) : nullptr;
                 if (!chosen) {
                     m_failure = QStringLiteral("no message box with the expected button, got ")
                                 + QString::fromLatin1(widget->metaObject()->className());
                     if (auto *dialog = qobject_cast<QDialog *>(widget))
                         dialog->reject();
                     return;
                 }
                 m_messageTexts.append(box->text());
                 QTest::mouseClick(chosen, Qt::LeftButton);
             }});
}

void ModalAnswerer::chooseMenuAction(const QString &actionText)
{
    enqueue({true, QStringLiteral("menu"), [this, actionText](QWidget *widget) {
                 auto *menu = qobject_cast<QMenu *>(widget);
                 QAction *wanted = nullptr;
                 for (QAction *action : menu ? menu->actions() : QList<QAction *>()) {
                     if (action->text().remove(QLatin1Char('&')) == actionText)
                         wanted = action;
                 }
                 if (!wanted) {
                     m_failure = QStringLiteral("no menu action ") + actionText;
                     widget->close();
                     return;
                 }
                 // As a user does: highlight the entry, then press Return.
                 menu->setActiveAction(wanted);
                 QTest::keyClick(menu, Qt::Key_Return);
             }});
}

void ModalAnswerer::enqueue(Answer answer)
{
    m_queue.enqueue(std::move(answer));
    if (!m_polling) {
        m_polling = true;
        m_waiting.start();
        QTimer::singleShot(pollMs, this, &ModalAnswerer::poll);
    }
}

void ModalAnswerer::poll()
{
    if (m_queue.isEmpty()) {
        m_polling = false;
        return;
    }
    QWidget *candidate = m_queue.head().popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
    if (!candidate || !candidate->isVisible() || m_answered.contains(candidate)) {
        if (m_waiting.elapsed() > m_timeoutMs)
            giveUp();
        else
            QTimer::singleShot(pollMs, this, &ModalAnswerer::poll);
        return;
    }
    Answer answer = m_queue.dequeue();
    m_answered.append(candidate);
    m_waiting.start();
    // The answer may open a nested modal loop: keep polling from inside it.
    QTimer::singleShot(pollMs, this, &ModalAnswerer::poll);
    ++m_running;
    answer.run(candidate);
    --m_running;
}

void ModalAnswerer::giveUp()
{
    m_failure = QStringLiteral("timed out waiting for a ") + m_queue.head().what;
    m_queue.clear();
    m_polling = false;
    while (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
    for (int guard = 0; guard < 20; ++guard) {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            break;
        dialog->reject();
    }
}
