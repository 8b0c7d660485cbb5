// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/history_viewer.h"

#include "platform/failure.h"
#include "platform/file_io.h"

#include <QSocketNotifier>
#include <QWidget>

namespace {

constexpr std::size_t kChunk = 4096;

} // namespace

HistoryViewer::HistoryViewer(HistoryWindowMaker make, int input) : make_(make), input_(input) {
    notifier_ = new QSocketNotifier(input, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &HistoryViewer::ReadInput);
}

HistoryViewer::~HistoryViewer() {
    delete window_;
}

void HistoryViewer::ReadInput() {
    std::string chunk;
    try {
        chunk = platform::readSome(input_, kChunk);
    } catch (const platform::Failure&) {
        // A broken input is the program's end too.
    }
    if (chunk.empty()) {
        notifier_->setEnabled(false);
        emit Ended();
        return;
    }
    pending_ += QByteArrayView(chunk.data(), static_cast<qsizetype>(chunk.size()));
    for (qsizetype end = pending_.indexOf('\n'); end >= 0; end = pending_.indexOf('\n')) {
        const QByteArray line = pending_.left(end);
        pending_.remove(0, end + 1);
        if (const auto message = MessageFromLine(line)) {
            Take(*message);
        }
    }
}

void HistoryViewer::Take(const HistoryMessage& message) {
    switch (message.kind) {
    case HistoryMessage::Kind::Facts:
        facts_ = message.facts;
        if (!made_) {
            made_ = true;
            window_ = make_(journal_, [this] {
                CounterFacts facts = facts_;
                facts.now = QDateTime::currentDateTime();
                return facts;
            });
            window_->setAttribute(Qt::WA_DeleteOnClose);
            connect(window_, &QObject::destroyed, this, &HistoryViewer::Ended);
            window_->show();
        }
        break;
    case HistoryMessage::Kind::Added:
        // The program's journal took rows: the same file, read here again.
        emit journal_.Added();
        break;
    case HistoryMessage::Kind::Show:
        if (window_ != nullptr) {
            window_->show();
            window_->raise();
            window_->activateWindow();
        }
        break;
    }
}
