// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The history window: the chart of a period's hours with the plan and the forecast, its volume,
// its connections newest first, the earlier periods to choose from, and the export to CSV. Made at
// its first showing; while hidden it reads nothing. The journal reads on its own thread: meanwhile
// the window says it is loading.

#include "journal/forecast.h"
#include "journal/history_messages.h"
#include "journal/journal.h"

#include <QWidget>
#include <functional>
#include <memory>

class QChart;
class QComboBox;
class QLabel;
class QTableWidget;

namespace Ui {
class TForm5;
}

class TForm5 : public QWidget {
    Q_OBJECT

public:
    using Facts = std::function<CounterFacts()>;
    // The name of the file to export to, empty when the user gives none.
    using FileQuestion = std::function<QString(QWidget* parent, const QString& proposed)>;
    TForm5(Journal& journal, Facts facts, QWidget* parent = nullptr);
    ~TForm5() override;

    void SetFileQuestion(FileQuestion question) { fileQuestion_ = std::move(question); }
    QChart* Chart1() const;
    QComboBox* Periodes1() const;
    QLabel* Label1() const;
    QLabel* Label2() const;
    QTableWidget* sgconnexions() const;

public slots:
    // Reads the periods and shows the chosen one again.
    void Refresh();
    void Exporter1Click();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowPeriod();
    void ShowChart(const Period& period, const QList<JournalEntry>& entries,
                   const CounterFacts& facts);
    void ShowTable(const QList<JournalEntry>& entries);
    // Reads the period's rows and gives them to use, here, later.
    void ReadPeriod(const Period& period, const Journal::Done<QList<JournalEntry>>& use);
    void Reading();
    void ReadDone();
    void ShowVolume(const Period& period, const QList<JournalEntry>& entries,
                    const CounterFacts& facts);

    std::unique_ptr<Ui::TForm5> ui_;
    Journal& journal_;
    Facts facts_;
    FileQuestion fileQuestion_;
    QList<Period> periods_;
    // Reads asked for and not answered yet.
    int reading_ = 0;
};
