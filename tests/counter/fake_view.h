// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The widget window as the counter sees it, with dialogs answered from a script.

#include "counter/counter_view.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <gtest/gtest.h>
#include <vector>

class FakeView : public CounterView {
public:
    Look look = Look::Design;
    QString cumulatedTime = "?", throughput = "0", connectionTime = "Déconnecté", resetDayAndMonth;
    bool alarm = false;
    bool dial = true, hangUp = true;
    std::vector<int> trayFrames; // -1 for the application's icon
    int fills = 0, helpShown = 0, terminated = 0;
    DetailGrid grid;
    QStringList messages, errors, confirmations;
    // Answers of the next dialogs, in order; each may also act while its dialog is open.
    std::deque<std::function<std::optional<QString>()>> answers;
    std::optional<BillingRule> billingRuleAnswer;

    Look CurrentLook() const override { return look; }
    void ShowLook(Look l) override { look = l; }
    void ShowCumulatedTime(const QString& text) override { cumulatedTime = text; }
    void ShowConnectionTime(const QString& text) override { connectionTime = text; }
    void ShowThroughput(const QString& text) override { throughput = text; }
    void ShowAlarm(bool shown) override { alarm = shown; }
    void SetDialEnabled(bool d, bool h) override {
        dial = d;
        hangUp = h;
    }
    void ShowTrayFrame(int frame) override { trayFrames.push_back(frame); }
    void ShowApplicationIcon() override { trayFrames.push_back(-1); }
    HWND Handle() override { return this; }
    const DetailGrid& Grid() const override { return grid; }
    void CaptureMIBData(bool) override { ++fills; }
    void ShowResetDayAndMonth(const QString& text) override { resetDayAndMonth = text; }
    void ShowMessage(const QString& text) override { messages << text; }
    void ShowError(const QString& text) override { errors << text; }
    bool Confirm(const QString& text) override {
        confirmations << text;
        return Answer().has_value();
    }
    std::optional<QString> InputBox(const QString& caption, const QString& prompt,
                                    const QString& value) override {
        messages << caption + " | " + prompt + " | " + value;
        return Answer();
    }
    std::optional<BillingRule> AskBillingRule(const BillingRule&) override {
        return billingRuleAnswer;
    }
    void ShowHelpWindow() override { ++helpShown; }
    void Terminate() override { ++terminated; }

private:
    std::optional<QString> Answer() {
        EXPECT_FALSE(answers.empty()) << "an unexpected dialog";
        if (answers.empty()) {
            return std::nullopt;
        }
        auto answer = answers.front();
        answers.pop_front();
        return answer();
    }
};
