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
    QString label1 = "?", label2 = "0", label8 = "Déconnecté", detailLabel1, detailLabel2;
    bool shape2 = false;
    bool dial = true, hangUp = true;
    std::vector<int> trayFrames; // -1 for the application's icon
    int fills = 0, helpShown = 0, terminated = 0;
    DetailGrid grid;
    QStringList messages, errors, confirmations;
    // Answers of the next dialogs, in order; each may also act while its dialog is open.
    std::deque<std::function<std::optional<QString>()>> answers;

    Look CurrentLook() const override { return look; }
    void ShowLook(Look l) override { look = l; }
    void SetLabel1(const QString& text) override { label1 = text; }
    void SetLabel2(const QString& text) override { label2 = text; }
    void SetLabel8(const QString& text) override { label8 = text; }
    bool Shape2Visible() const override { return shape2; }
    void SetShape2Visible(bool visible) override { shape2 = visible; }
    void SetDialEnabled(bool d, bool h) override {
        dial = d;
        hangUp = h;
    }
    void ShowTrayFrame(int frame) override { trayFrames.push_back(frame); }
    void ShowApplicationIcon() override { trayFrames.push_back(-1); }
    HWND Handle() override { return this; }
    const DetailGrid& Grid() const override { return grid; }
    void CaptureMIBData(bool) override { ++fills; }
    void SetDetailLabel1(const QString& text) override { detailLabel1 = text; }
    void SetDetailLabel2(const QString& text) override { detailLabel2 = text; }
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
