#pragma once
// The password generator's settings sheet: the character classes, the length and the
// symbols to leave out. It edits the owner's generator in place (setPasswordGenerator()
// before the window is first asked for) and only on OK; Cancel leaves it untouched.
//
// OK refuses a length below 1; for a length below 8 it asks whether to go on (OK
// returns to the sheet for a longer one); with no class chosen it offers to choose the
// classes at random (from the operating system's random source).

#include "platform/ui/WindowController.h"

#include <memory>

class PasswordGenerator;
class QCheckBox;
class QLineEdit;
class QPushButton;
class QSpinBox;

class PGSettings : public WindowController
{
    Q_OBJECT
public:
    explicit PGSettings(QObject *parent = nullptr);
    ~PGSettings() override;

    // The generator being set up; the sheet's own one until the owner gives its own.
    PasswordGenerator *passwordGenerator() const { return m_generator; }
    void setPasswordGenerator(PasswordGenerator *generator);

    // The characters of text that are among the 32 symbols, in order, repeats kept.
    static QString symbolsFilter(const QString &text);

public slots:
    void onOK();
    void onCancel();
    void onStepperChange();
    void onLengthTextChanged();
    void onExcludeSymbolsChanged();

protected:
    void bindOutlets() override;
    void awakeFromNib() override;

private:
    std::unique_ptr<PasswordGenerator> m_ownGenerator;
    PasswordGenerator *m_generator = nullptr;

    QCheckBox *btnBigLettes = nullptr;
    QCheckBox *btnSmallLettes = nullptr;
    QCheckBox *btnNumbers = nullptr;
    QCheckBox *btnSymbols = nullptr;
    QLineEdit *txtLength = nullptr;
    QSpinBox *stepper = nullptr;
    QLineEdit *txtExcludeSymbols = nullptr;
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;
};
