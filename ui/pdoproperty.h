#pragma once

#include <QDialog>

class QComboBox;
class QDoubleSpinBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;
struct PDOConfig;

// The communication parameters of one PDO: transmission type and, for a
// transmit PDO sent asynchronously, event timer and inhibit time. Writes the
// record only on OK.
class PDOProperty : public QDialog
{
    Q_OBJECT
public:
    PDOProperty(PDOConfig *record, QWidget *parent);

    QComboBox *typeCombo() const { return m_typeCombo; }
    QSpinBox *eventTimerBox() const { return m_eventTimer; }
    QDoubleSpinBox *inhibitTimeBox() const { return m_inhibitTime; }
    QLineEdit *cobIdEdit() const { return m_cobIdEdit; }

public slots:
    void accept_slot();
    void updateEventTime(const QString &curText);
    void startHelpSystem();

private:
    void addTypeItem(const QString &pattern, int value);
    bool isTransmit() const;

    PDOConfig *m_record = nullptr;
    QLabel *m_nameLabel = nullptr;
    QLabel *m_cobIdLabel = nullptr;
    QLineEdit *m_cobIdEdit = nullptr;
    QGroupBox *m_timerGroup = nullptr;
    QGridLayout *m_timerGrid = nullptr;
    QSpinBox *m_eventTimer = nullptr;
    QDoubleSpinBox *m_inhibitTime = nullptr;
    QLabel *m_typeLabel = nullptr;
    QComboBox *m_typeCombo = nullptr;
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;
    bool m_typeKept = false;
};
