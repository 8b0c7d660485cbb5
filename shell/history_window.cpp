// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/history_window.h"

#include "counter/int_conversion.h"
#include "counter/plan_alerts.h"
#include "journal/durations.h"
#include "journal/export.h"
#include "platform/failure.h"
#include "ui_history_window.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QFileDialog>
#include <QLineSeries>
#include <QSaveFile>
#include <QValueAxis>
#include <algorithm>

namespace {

constexpr double kHeadroom = 1.1;
constexpr double kFewHours = 5;
const QString kDay = QStringLiteral("dd/MM/yyyy");

QString AskFileName(QWidget* parent, const QString& proposed) {
    return QFileDialog::getSaveFileName(parent, QStringLiteral("Exporter la période"), proposed,
                                        QStringLiteral("Fichiers CSV (*.csv)"));
}

QString PeriodName(const Period& period) {
    if (!period.end.isValid()) {
        return "Période en cours, depuis le " + period.start.toLocalTime().toString(kDay);
    }
    return "Du " + period.start.toLocalTime().toString(kDay) + " au " +
           period.end.toLocalTime().toString(kDay);
}

QLineSeries* Line(const QString& name, const QList<QPointF>& points) {
    auto* line = new QLineSeries;
    line->setName(name);
    line->append(points);
    return line;
}

} // namespace

TForm5::TForm5(Journal& journal, Facts facts, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::TForm5>()), journal_(journal),
      facts_(std::move(facts)), fileQuestion_(AskFileName) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_QuitOnClose, false);
    ui_->Chart1->setRenderHint(QPainter::Antialiasing);
    ui_->Chart1->chart()->legend()->setAlignment(Qt::AlignBottom);
    ui_->Chart1->chart()->setLocale(QLocale(QLocale::French, QLocale::France));
    ui_->Chart1->chart()->setLocalizeNumbers(true);
    const QStringList headers = {"Début", "Fin",     "Durée",    "Interface",
                                 "Reçus", "Envoyés", "Événement"};
    ui_->sgconnexions->setColumnCount(static_cast<int>(headers.size()));
    ui_->sgconnexions->setHorizontalHeaderLabels(headers);
    connect(ui_->Periodes1, &QComboBox::activated, this, [this] { ShowPeriod(); });
    connect(ui_->Exporter1, &QPushButton::clicked, this, &TForm5::Exporter1Click);
    // A hidden window waits for its next showing, which reads everything again.
    connect(&journal_, &Journal::Added, this, [this] {
        if (isVisible()) {
            Refresh();
        }
    });
}

TForm5::~TForm5() = default;

QChart* TForm5::Chart1() const {
    return ui_->Chart1->chart();
}
QComboBox* TForm5::Periodes1() const {
    return ui_->Periodes1;
}
QLabel* TForm5::Label1() const {
    return ui_->Label1;
}
QLabel* TForm5::Label2() const {
    return ui_->Label2;
}
QTableWidget* TForm5::sgconnexions() const {
    return ui_->sgconnexions;
}

void TForm5::showEvent(QShowEvent* event) {
    Refresh();
    QWidget::showEvent(event);
}

void TForm5::Refresh() {
    Reading();
    journal_.ReadResets(this, [this](const QList<QDateTime>& resets) {
        const int chosen = std::max(ui_->Periodes1->currentIndex(), 0);
        periods_ = Periods(resets, facts_().periodStart);
        ui_->Periodes1->clear();
        for (const Period& period : periods_) {
            ui_->Periodes1->addItem(PeriodName(period));
        }
        ui_->Periodes1->setCurrentIndex(std::min(chosen, static_cast<int>(periods_.size()) - 1));
        ShowPeriod();
        ReadDone();
    });
}

void TForm5::ReadPeriod(const Period& period, const Journal::Done<QList<JournalEntry>>& use) {
    Reading();
    journal_.ReadEntries(this, period.start,
                         period.end.isValid() ? period.end : facts_().now.addDays(1),
                         [this, use](const QList<JournalEntry>& entries) {
                             ReadDone();
                             use(entries);
                         });
}

// The busy cursor on this window only: the strip and the menus answer meanwhile.
void TForm5::Reading() {
    if (reading_++ == 0) {
        ui_->Chart1->chart()->setTitle(QStringLiteral("Chargement…"));
        setCursor(Qt::BusyCursor);
    }
}

void TForm5::ReadDone() {
    if (--reading_ == 0) {
        ui_->Chart1->chart()->setTitle(QString());
        unsetCursor();
    }
}

void TForm5::ShowPeriod() {
    const Period period = periods_.at(std::max(ui_->Periodes1->currentIndex(), 0));
    ReadPeriod(period, [this, period](const QList<JournalEntry>& entries) {
        ShowChart(period, entries, facts_());
        ShowTable(entries);
        ShowVolume(period, entries, facts_());
    });
}

// What the journal says the period carried; for the current one, the counter's volume against the
// allowance and the day its pace reaches it.
void TForm5::ShowVolume(const Period& period, const QList<JournalEntry>& entries,
                        const CounterFacts& facts) {
    const Volume volume = VolumeOf(entries);
    QString text = "Volume de la période : reçu " + VolumeText(volume.received) + ", envoyé " +
                   VolumeText(volume.sent) + '.';
    if (!period.end.isValid() && facts.allowance > 0) {
        const QDate nextReset = NextResetDay(facts.resetDay, facts.now.toLocalTime().date(),
                                             period.start.toLocalTime().date());
        text +=
            '\n' + VolumePlanSentence(facts.volume, facts.allowance,
                                      VolumeForecast(facts.volume, facts.allowance, period.start,
                                                     facts.now, QDateTime(nextReset, QTime(0, 0))));
    }
    ui_->Label2->setText(text);
}

// Bars of hours per day, the cumulated hours up to now, the plan, and the forecast from now to the
// next reset. The counter is the reference: hours it counted that the journal lacks (a journal
// begun during the period) start the cumulated line.
void TForm5::ShowChart(const Period& period, const QList<JournalEntry>& entries,
                       const CounterFacts& facts) {
    const bool current = !period.end.isValid();
    const QDate first = period.start.toLocalTime().date();
    const QDate today = facts.now.toLocalTime().date();
    const QDate last =
        current ? NextResetDay(facts.resetDay, today, first) : period.end.toLocalTime().date();
    const int days = static_cast<int>(first.daysTo(last)) + 1;
    const QList<std::int64_t> perDay = SecondsPerDay(entries, first, days);
    // A correction makes the cumulated line jump on its day, not a bar.
    const QList<std::int64_t> corrected = CorrectionsPerDay(entries, first, days);
    std::int64_t journalled = 0;
    for (int day = 0; day < days; ++day) {
        journalled += perDay[day] + corrected[day];
    }
    const std::int64_t used = current ? facts.used : journalled;
    const int upTo = current ? static_cast<int>(first.daysTo(today)) : days - 1;

    auto* bars = new QBarSet(QStringLiteral("Heures par jour"));
    QList<QPointF> cumulated;
    double total = static_cast<double>(std::max<std::int64_t>(used - journalled, 0));
    QStringList categories;
    for (int day = 0; day < days; ++day) {
        bars->append(static_cast<double>(perDay[day]) / kSecondsPerHour);
        categories.append(QString::number(first.addDays(day).day()));
        total += static_cast<double>(perDay[day] + corrected[day]);
        if (day <= upTo) {
            cumulated.append({static_cast<double>(day), total / kSecondsPerHour});
        }
    }
    // A past period's plan is the last one its rows recorded, read as the counter reads it.
    const std::int32_t plan = current             ? facts.plan
                              : entries.isEmpty() ? 0
                                                  : ToInt(entries.last().plan).value_or(0);
    const Forecast forecast =
        Predict(used, plan, period.start, facts.now, QDateTime(last, QTime(0, 0)));
    ui_->Label1->setText(current ? ForecastSentence(forecast, used, plan)
                                 : PeriodName(period) + " : " + HoursMinutes(used) + '.');

    QChart* chart = ui_->Chart1->chart();
    chart->removeAllSeries();
    for (QAbstractAxis* axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    auto* barSeries = new QBarSeries;
    barSeries->append(bars);
    QList<QAbstractSeries*> series = {barSeries, Line(QStringLiteral("Cumul"), cumulated)};
    double top = cumulated.isEmpty() ? 1 : cumulated.last().y();
    if (plan > 0) {
        const auto hours = static_cast<double>(plan);
        series.append(Line(QStringLiteral("Forfait"), {{0, hours}, {days - 1.0, hours}}));
        top = std::max(top, hours);
    }
    if (current && plan > 0 && !cumulated.isEmpty()) {
        const double atReset = static_cast<double>(forecast.atReset) / kSecondsPerHour;
        auto* dashed = Line(QStringLiteral("Prévision"), {cumulated.last(), {days - 1.0, atReset}});
        QPen pen = dashed->pen();
        pen.setStyle(Qt::DashLine);
        pen.setWidth(2);
        dashed->setPen(pen);
        series.append(dashed);
        top = std::max(top, atReset);
    }
    auto* xAxis = new QBarCategoryAxis;
    xAxis->append(categories);
    auto* yAxis = new QValueAxis;
    yAxis->setRange(0, top * kHeadroom);
    yAxis->applyNiceNumbers();
    // Tenths of an hour while the hours are few, with the French decimal comma.
    yAxis->setLabelFormat(top < kFewHours ? QStringLiteral("%.1f h") : QStringLiteral("%.0f h"));
    chart->addAxis(xAxis, Qt::AlignBottom);
    chart->addAxis(yAxis, Qt::AlignLeft);
    for (QAbstractSeries* one : series) {
        chart->addSeries(one);
        one->attachAxis(xAxis);
        one->attachAxis(yAxis);
    }
}

void TForm5::ShowTable(const QList<JournalEntry>& entries) {
    QTableWidget& table = *ui_->sgconnexions;
    table.setRowCount(static_cast<int>(entries.size()));
    for (int row = 0; row < table.rowCount(); ++row) {
        const JournalEntry& entry = entries[entries.size() - 1 - row];
        const bool connection = entry.IsConnection();
        const QStringList cells = {LocalTimeText(entry.start),
                                   connection ? LocalTimeText(entry.end) : QString(),
                                   connection ? HmsText(SplitSeconds(entry.seconds)) : QString(),
                                   entry.interfaceName,
                                   connection ? VolumeText(entry.received) : QString(),
                                   connection ? VolumeText(entry.sent) : QString(),
                                   EventText(entry)};
        for (int column = 0; column < cells.size(); ++column) {
            table.setItem(row, column, new QTableWidgetItem(cells[column]));
        }
    }
    table.resizeColumnsToContents();
}

// The shown period's rows, oldest first as a spreadsheet reads them, written whole or not at all.
void TForm5::Exporter1Click() {
    const Period period = periods_.at(std::max(ui_->Periodes1->currentIndex(), 0));
    const QString name = fileQuestion_(
        this,
        "connexions-" + period.start.toLocalTime().toString(QStringLiteral("yyyy-MM-dd")) + ".csv");
    if (name.isEmpty()) {
        return;
    }
    ReadPeriod(period, [name](const QList<JournalEntry>& entries) {
        QSaveFile file(name);
        if (!file.open(QIODevice::WriteOnly) || file.write(CsvText(entries)) < 0 ||
            !file.commit()) {
            throw platform::Failure(QStringLiteral("Le fichier %1 ne peut pas être écrit : %2")
                                        .arg(name, file.errorString())
                                        .toStdString());
        }
    });
}
