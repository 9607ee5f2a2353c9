#include "ui/memoryeditwidget.h"

#include "model/hostservices.h"
#include "model/slaverecords.h"

#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QSpinBox>
#include <QToolTip>

namespace {

bool isEvenArea(int area)
{
    return area == VarAreaAI || area == VarAreaAQ;
}

} // namespace

MemoryEditWidget::MemoryEditWidget(QWidget *parent)
    : QWidget(parent)
{
    m_area = new QComboBox(this);
    // The areas change with every entry; the box must always fit "AI" and "AQ".
    m_area->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    m_offset = new QSpinBox(this);
    m_offset->setRange(0, 655555);

    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_area);
    layout->addWidget(m_offset, 1);
    setFocusProxy(m_offset);
    setAutoFillBackground(true);
    // Focus rests on the parts, never on the editor itself, so the parts report it leaving.
    m_area->installEventFilter(this);
    m_offset->installEventFilter(this);

    connect(m_area, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &MemoryEditWidget::memTypeChanged);
    connect(m_offset, &QSpinBox::editingFinished, this, &MemoryEditWidget::offsetEditingFinished);
}

void MemoryEditWidget::setValue(const PDOMapEntry &entry, int direction)
{
    m_area->clear();
    const bool twoBytes = entry.byteLength == 2;
    if (direction == PdoTransmit) {
        m_area->addItem(tr("I"), int(VarAreaInput));
        if (twoBytes)
            m_area->addItem(tr("AI"), int(VarAreaAI));
        m_area->addItem(tr("V"), int(VarAreaFallback));
    } else if (direction == PdoReceive) {
        m_area->addItem(tr("Q"), int(VarAreaOutput));
        if (twoBytes)
            m_area->addItem(tr("AQ"), int(VarAreaAQ));
        m_area->addItem(tr("V"), int(VarAreaFallback));
    }
    m_area->setCurrentIndex(m_area->findData(entry.area));
    m_offset->setValue(entry.offset);
}

void MemoryEditWidget::setPlace(int area, int offset)
{
    m_area->setCurrentIndex(m_area->findData(area));
    m_offset->setValue(offset);
}

void MemoryEditWidget::showRefusal(const QString &why)
{
    m_refusal = why;
    setToolTip(why);
    QPalette palette = m_offset->palette();
    palette.setColor(QPalette::Text, QColor(255, 0, 0));
    m_offset->setPalette(palette);
    QToolTip::showText(mapToGlobal(rect().bottomLeft()), why, this);
}

bool MemoryEditWidget::value(int &area, int &offset) const
{
    // Every area offered is a real one and the offset box starts at 0: only a cleared area box names no place.
    area = m_area->currentData().toInt();
    offset = m_offset->value();
    return m_area->currentIndex() >= 0;
}

void MemoryEditWidget::memTypeChanged(int index)
{
    // A cleared box (index -1) has no area data, which is no even area either.
    if (!isEvenArea(m_area->itemData(index).toInt())) {
        m_offset->setSingleStep(1);
        return;
    }
    m_offset->setSingleStep(2);
    if (m_offset->value() % 2 != 0)
        m_offset->setValue(m_offset->value() + 1);
}

void MemoryEditWidget::offsetEditingFinished()
{
    // A cleared box has no area data, which is no even area either.
    if (isEvenArea(m_area->currentData().toInt()))
        m_offset->setValue(evenOffset(m_offset->value()));
}

int MemoryEditWidget::evenOffset(int value) const
{
    if (value % 2 == 0)
        return value;
    // Up to the next even place, as choosing the area does; down only at the box's end.
    return value < m_offset->maximum() ? value + 1 : value - 1;
}

bool MemoryEditWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut && !focusInside())
        leave();
    return QWidget::eventFilter(watched, event);
}

void MemoryEditWidget::hideEvent(QHideEvent *event)
{
    // The view hands focus back only from the offset box; from the area box it
    // would stay on a hidden widget and the table would not hear its keys.
    if (focusInside() && parentWidget() && parentWidget()->isVisible())
        parentWidget()->setFocus();
    leave();
    QWidget::hideEvent(event);
}

bool MemoryEditWidget::focusInside() const
{
    // Walks across window borders too: the area list pops up in a window of its own.
    for (const QWidget *w = QApplication::focusWidget(); w; w = w->parentWidget()) {
        if (w == this)
            return true;
    }
    return false;
}

void MemoryEditWidget::leave()
{
    if (m_left)
        return;
    m_left = true;
    emit editingLeft();
}
