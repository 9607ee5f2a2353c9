#pragma once

#include <QWidget>

class QComboBox;
class QSpinBox;
struct PDOMapEntry;

// In-cell editor of a mapped object's PLC memory place: area and offset.
// 2-byte objects may go to the analogue areas, where offsets stay even.
class MemoryEditWidget : public QWidget
{
    Q_OBJECT
public:
    explicit MemoryEditWidget(QWidget *parent);

    // Offers the areas for the PDO's direction and shows the entry's place.
    void setValue(const PDOMapEntry &entry, int direction);
    // False when no area is chosen.
    bool value(int &area, int &offset) const;

    // Types a place in, as the user typed it before.
    void setPlace(int area, int offset);
    // Says in the editor why the place it holds cannot be taken.
    void showRefusal(const QString &why);
    QString refusal() const { return m_refusal; }

    QComboBox *areaBox() const { return m_area; }
    QSpinBox *offsetBox() const { return m_offset; }

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    // Focus went outside the editor, or the editor was hidden with its page or
    // dialog: what was typed must be taken or dropped now, not lost later.
    void editingLeft();

public slots:
    void memTypeChanged(int index);
    void offsetEditingFinished();

protected:
    void hideEvent(QHideEvent *event) override;

private:
    bool focusInside() const;
    void leave();
    // An odd offset rounds up to the next even one, down only at the box's end.
    int evenOffset(int value) const;

    QComboBox *m_area = nullptr;
    QSpinBox *m_offset = nullptr;
    QString m_refusal;
    bool m_left = false;
};
