#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

void ModalAnswerer::onModal(std::function<void(QWidget *)> user, const QString &what)
{
    enqueue({false, what, [user, what](QWidget *widget) {
                 if (QTest::qWaitForWindowActive(widget))
                     user(widget);
                 else
                     QTest::qFail(qPrintable(what + QStringLiteral(" never became active")), __FILE__, __LINE__);
                 if (auto *dialog = qobject_cast<QDialog *>(widget); dialog && dialog->isVisible())
                     dialog->reject();
             }});
}

void ModalAnswerer::answerMessageBox(int button)
{
    enqueue({false, QStringLiteral("message box"), [this, button](QWidget *widget) {
                 auto *box = qobject_cast<QMessageBox *>(widget);
                 if (QAbstractButton *chosen = box ? box->button(QMessageBox::StandardButton(button)) : nullptr) {
                     m_messageTexts.append(box->text());
                     QTest::mouseClick(chosen, Qt::LeftButton);
                     return;
                 }
                 m_failure = QStringLiteral("no message box with the expected button: ") + widget->metaObject()->className();
                 widget->close();
             }});
}

void ModalAnswerer::chooseMenuAction(const QString &actionText)
{
    enqueue({true, QStringLiteral("menu"), [this, actionText](QWidget *widget) {
                 auto *menu = qobject_cast<QMenu *>(widget);
                 for (QAction *action : menu ? menu->actions() : QList<QAction *>()) {
                     if (action->text().remove(QLatin1Char('&')) == actionText) {
                         // As a user does: highlight the entry, then press Return.
                         menu->setActiveAction(action);
                         QTest::keyClick(menu, Qt::Key_Return);
                         return;
                     }
                 }
                 m_failure = QStringLiteral("no menu action ") + actionText;
                 widget->close();
             }});
}

void ModalAnswerer::enqueue(Answer answer)
{
    m_queue.enqueue(std::move(answer));
    if (!m_polling) {
        m_polling = true;
        m_waiting.start();
        QTimer::singleShot(10, this, &ModalAnswerer::poll);
    }
}

void ModalAnswerer::poll()
{
    m_polling = !m_queue.isEmpty();
    if (!m_polling)
        return;
    QWidget *candidate = m_queue.head().popup ? QApplication::activePopupWidget() : QApplication::activeModalWidget();
    if (candidate && candidate->isVisible() && !m_answered.contains(candidate)) {
        Answer answer = m_queue.dequeue();
        m_answered.append(candidate);
        m_waiting.start();
        // The answer may open a nested modal loop: keep polling from inside it.
        QTimer::singleShot(10, this, &ModalAnswerer::poll);
        ++m_running;
        answer.run(candidate);
        --m_running;
    } else if (m_waiting.elapsed() <= timeoutMs) {
        QTimer::singleShot(10, this, &ModalAnswerer::poll);
    } else {
        m_failure = QStringLiteral("timed out waiting for a ") + m_queue.head().what;
        m_queue.clear();
        m_polling = false;
        while (QWidget *popup = QApplication::activePopupWidget())
            popup->close();
        for (int guard = 0; guard < 20 && qobject_cast<QDialog *>(QApplication::activeModalWidget()); ++guard)
            qobject_cast<QDialog *>(QApplication::activeModalWidget())->reject();
    }
}
