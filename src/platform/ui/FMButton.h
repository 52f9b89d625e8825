#pragma once
// A push button that carries an identifier string, so one action can serve many buttons.

#include <QPushButton>
#include <QString>

class FMButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QString identifier READ identifier WRITE setIdentifier)
public:
    explicit FMButton(QWidget *parent = nullptr) : QPushButton(parent) {}

    QString identifier() const { return m_identifier; }
    void setIdentifier(const QString &identifier) { m_identifier = identifier; }

private:
    QString m_identifier;
};
