#include "publishing/ui/PGSettings.h"

#include "foundation/AppStrings.h"
#include "foundation/AppUtility.h"
#include "foundation/Crypto.h"
#include "platform/ui/LogAlert.h"
#include "publishing/PasswordGenerator.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>

namespace {

constexpr int kStepperMaximum = 100;
constexpr qint64 kStrongLength = 8;

// A class mask of 1 to 15 from the operating system's random source.
quint64 randomClasses()
{
    const QByteArray random = Crypto::randomBytes(1);
    const quint64 bits = random.isEmpty() ? 0 : quint64(quint8(random.at(0)) & 0x0F);
    return bits == 0 ? PasswordGenerator::AllClasses : bits;
}

qint64 lengthOf(const QString &text)
{
    const QString digits = AppUtility::checkIntegerValueString(text).left(9);
    return digits.isEmpty() ? 0 : digits.toLongLong();
}

} // namespace

PGSettings::PGSettings(QObject *parent)
    : WindowController(QStringLiteral("PGSettings"), WindowLoader::Lookup::Localized, parent),
      m_ownGenerator(std::make_unique<PasswordGenerator>()), m_generator(m_ownGenerator.get())
{
}

PGSettings::~PGSettings() = default;

void PGSettings::setPasswordGenerator(PasswordGenerator *generator)
{
    m_generator = generator ? generator : m_ownGenerator.get();
}

QString PGSettings::symbolsFilter(const QString &text)
{
    const QString symbols = PasswordGenerator::symbols();
    QString out;
    for (QChar c : text) {
        if (symbols.contains(c))
            out += c;
    }
    return out;
}

void PGSettings::bindOutlets()
{
    outlet(btnBigLettes, "btnBigLettes");
    outlet(btnSmallLettes, "btnSmallLettes");
    outlet(btnNumbers, "btnNumbers");
    outlet(btnSymbols, "btnSymbols");
    outlet(txtLength, "txtLength");
    outlet(stepper, "stepper");
    outlet(txtExcludeSymbols, "txtExcludeSymbols");
    outlet(btnOK, "btnOK");
    outlet(btnCancel, "btnCancel");
}

void PGSettings::awakeFromNib()
{
    const quint64 type = m_generator->type();
    btnBigLettes->setChecked(type & PasswordGenerator::UpperCase);
    btnSmallLettes->setChecked(type & PasswordGenerator::LowerCase);
    btnNumbers->setChecked(type & PasswordGenerator::Digits);
    btnSymbols->setChecked(type & PasswordGenerator::Symbols);
    txtExcludeSymbols->setText(m_generator->disableChars());
    btnBigLettes->setToolTip(loadAppString(QStringLiteral("PGSettings-UpperCase Letters:A-Z"), QStringLiteral("UpperCase Letters:A-Z")));
    btnSmallLettes->setToolTip(loadAppString(QStringLiteral("PGSettings-LowerCase Letters:a-z"), QStringLiteral("LowerCase Letters:a-z")));
    btnNumbers->setToolTip(loadAppString(QStringLiteral("PGSettings-Digits:0-9"), QStringLiteral("Digits:0-9")));
    btnSymbols->setToolTip(loadAppString(QStringLiteral("PGSettings-Symbols:%1"), QStringLiteral("Symbols:%1"))
                               .arg(PasswordGenerator::symbols()));
    txtLength->setText(QString::number(m_generator->length()));

    connect(btnOK, &QPushButton::clicked, this, &PGSettings::onOK);
    connect(btnCancel, &QPushButton::clicked, this, &PGSettings::onCancel);
    stepper->setRange(1, kStepperMaximum);
    stepper->setSingleStep(1);
    stepper->setValue(int(std::clamp<quint64>(m_generator->length(), 1, kStepperMaximum)));
    connect(stepper, &QSpinBox::valueChanged, this, &PGSettings::onStepperChange);
    connect(txtLength, &QLineEdit::textEdited, this, &PGSettings::onLengthTextChanged);
    connect(txtExcludeSymbols, &QLineEdit::textEdited, this, &PGSettings::onExcludeSymbolsChanged);
}

void PGSettings::onStepperChange()
{
    txtLength->setText(QString::number(stepper->value()));
}

void PGSettings::onLengthTextChanged()
{
    const QString digits = AppUtility::checkIntegerValueString(txtLength->text());
    const qint64 value = lengthOf(digits);
    const QSignalBlocker quiet(stepper);
    if (value < 1) {
        if (!txtLength->text().isEmpty())
            txtLength->setText(QString());
        stepper->setValue(1);
        return;
    }
    if (digits != txtLength->text())
        txtLength->setText(digits);
    stepper->setValue(int(std::min<qint64>(value, kStepperMaximum)));
}

void PGSettings::onExcludeSymbolsChanged()
{
    const QString filtered = symbolsFilter(txtExcludeSymbols->text());
    if (filtered != txtExcludeSymbols->text())
        txtExcludeSymbols->setText(filtered);
}

void PGSettings::onOK()
{
    const qint64 length = lengthOf(txtLength->text());
    if (length <= 0) {
        LogAlert::alertMessage(
            loadAppString(QStringLiteral("PGSettings-The length of password is invalid!"),
                          QStringLiteral("The length of password is invalid!")),
            loadAppString(QStringLiteral("PGSettings-the length of password should be larger than 0 is recommended!"),
                          QStringLiteral("the length of password should be larger than 0 is recommended!")));
        return;
    }
    if (length < kStrongLength
        && LogAlert::askOKCancel(loadAppString(QStringLiteral("PGSettings-Please improve the strength of password!"),
                                               QStringLiteral("Please improve the strength of password!")),
                                 loadAppString(QStringLiteral("PGSettings-the length of password >= 8 is recommended!"),
                                               QStringLiteral("the length of password >= 8 is recommended!"))))
        return; // back to the sheet for a longer one

    quint64 type = 0;
    if (btnBigLettes->isChecked())
        type |= PasswordGenerator::UpperCase;
    if (btnSmallLettes->isChecked())
        type |= PasswordGenerator::LowerCase;
    if (btnNumbers->isChecked())
        type |= PasswordGenerator::Digits;
    if (btnSymbols->isChecked())
        type |= PasswordGenerator::Symbols;
    if (type == 0) {
        if (!LogAlert::askOKCancel(loadAppString(QStringLiteral("PGSettings-Auto select the type of password?"),
                                                 QStringLiteral("Auto select the type of password?")),
                                   QString()))
            return;
        type = randomClasses();
    }

    m_generator->setType(type);
    m_generator->setLength(quint64(std::min<qint64>(length, PasswordGenerator::kMaximumLength)));
    m_generator->setDisableChars(txtExcludeSymbols->text());
    closeWindowWithCode(1);
}

void PGSettings::onCancel()
{
    closeWindowWithCode(0);
}
