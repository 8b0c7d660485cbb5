// SPDX-License-Identifier: GPL-3.0-or-later
#include "counter/settings.h"

#include "platform/failure.h"

#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <algorithm>

Settings::Settings(QString fileName) : fileName_(std::move(fileName)) {}

// The toolkit keeps one parsed copy per path: the same bare name in another folder is another file.
QString Settings::Path() const {
    return QFileInfo(fileName_).absoluteFilePath();
}

// Read afresh at each use: the file may have been edited since, and reads are rare.
QVariant Settings::Stored(const QString& key) const {
    if (!QFileInfo(Path()).isFile()) {
        return {};
    }
    return QSettings(Path(), QSettings::IniFormat).value(key);
}

std::int64_t Settings::Integer(const QString& key, std::int64_t defaultValue) const {
    bool ok = false;
    const qlonglong value = Stored(key).toString().trimmed().toLongLong(&ok);
    return ok ? value : defaultValue;
}

// An unquoted value with commas reads back as a list: it was one text all the same.
QString Settings::Text(const QString& key, const QString& defaultValue) const {
    const QVariant value = Stored(key);
    if (!value.isValid()) {
        return defaultValue;
    }
    return value.typeId() == QMetaType::QStringList ? value.toStringList().join(',')
                                                    : value.toString();
}

void Settings::SetText(const QString& key, const QString& value, const QString& defaultValue) {
    Store({{key, value, value == defaultValue}});
}

void Settings::SetTexts(const QList<TextValue>& values) {
    QList<Change> changes;
    for (const TextValue& value : values) {
        changes.append({value.key, value.value, value.value == value.defaultValue});
    }
    Store(changes);
}

void Settings::Store(const QList<Change>& changes) {
    const bool allDefault = std::all_of(changes.begin(), changes.end(),
                                        [](const Change& change) { return change.isDefault; });
    if (allDefault && !QFileInfo::exists(Path())) {
        return;
    }
    QSettings settings(Path(), QSettings::IniFormat);
    for (const Change& change : changes) {
        if (change.isDefault) {
            settings.remove(change.key);
        } else {
            settings.setValue(change.key, change.value);
        }
    }
    settings.sync();
    if (settings.status() != QSettings::NoError) {
        throw platform::Failure(QStringLiteral("Impossible d'enregistrer les réglages dans %1")
                                    .arg(fileName_)
                                    .toStdString());
    }
}
