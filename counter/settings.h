// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The settings the counter files do not hold (billing rules, volume allowance, alert thresholds),
// in one INI file beside them. The file is created only when a value leaves its default, so a
// user who never changes one keeps exactly the counter files.

#include <QList>
#include <QString>
#include <QVariant>
#include <cstdint>

inline constexpr char kSettingsFileName[] = "decompte_internet.ini";

class Settings {
public:
    explicit Settings(QString fileName = QString::fromLatin1(kSettingsFileName));

    // The key's value, or the default where the key is absent or holds no such value (a file
    // edited by hand).
    std::int64_t Integer(const QString& key, std::int64_t defaultValue) const;
    QString Text(const QString& key, const QString& defaultValue) const;

    // Stores the value (a number as its digits), or removes the key when it equals its default.
    // Raises platform::Failure with the French message when the file cannot be written.
    void SetText(const QString& key, const QString& value, const QString& defaultValue);
    // Several texts in one write of the file, so that none is ever found without the others.
    struct TextValue {
        QString key, value, defaultValue;
    };
    void SetTexts(const QList<TextValue>& values);

private:
    struct Change {
        QString key;
        QVariant value;
        bool isDefault;
    };

    QString Path() const;
    QVariant Stored(const QString& key) const;
    void Store(const QList<Change>& changes);

    QString fileName_;
};
