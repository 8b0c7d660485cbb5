// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a test inside a fresh temporary directory, the program's files being opened by bare name,
// with dates written as a French user's are.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <clocale>
#include <gtest/gtest.h>

class InTemporaryDirectory : public ::testing::Test {
protected:
    InTemporaryDirectory() : previous_(QDir::currentPath()) {
        QDir::setCurrent(dir_.path());
        std::setlocale(LC_TIME, "fr_FR.UTF-8");
    }
    ~InTemporaryDirectory() override { QDir::setCurrent(previous_); }

    static QByteArray Bytes(const char* name) {
        QFile file(name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
    }
    static void Put(const char* name, const QByteArray& bytes) {
        QFile file(name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(bytes);
    }

    QTemporaryDir dir_;

private:
    QString previous_;
};
