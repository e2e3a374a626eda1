// Message boxes on a real X display (Xvfb): captions, title, icon, default button, the
// Yes/No box that Esc and a close request cannot take away, and a screenshot.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFont>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>
#include <tuple>

#include "platform/backends.h"
#include "platform/message_box.h"
#include "support/build_paths.h"
#include "support/screenshot.h"

namespace {

using platform::MbButtons;
using platform::MbIcon;
using platform::MbResult;
using platform::MessageBoxSpec;

// Shows the box and, once it is up, lets act look at it and answer it.
MbResult run_box(const MessageBoxSpec& request, const std::function<void(QMessageBox*)>& act) {
    auto mb = platform::make_qt_message_box("OrvaneLedgrin");
    bool acted = false;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible() || acted) return;
        acted = true;
        poll.stop();
        act(box);
    });
    poll.start();
    const MbResult r = mb->show(request);
    EXPECT_TRUE(acted);
    return r;
}

QStringList captions(QMessageBox* box) {
    QStringList out;
    for (QAbstractButton* b : box->buttons()) out << b->text();
    out.sort();
    return out;
}

QAbstractButton* button(QMessageBox* box, const QString& caption) {
    for (QAbstractButton* b : box->buttons())
        if (b->text() == caption) return b;
    ADD_FAILURE() << "no button " << caption.toStdString();
    return nullptr;
}

struct Case {
    const char* name;
    MbButtons buttons;
    MbResult default_button;
    QStringList captions;  // sorted
    const char* default_caption;
    MbResult on_enter;
};

TEST(QtMessageBox, CaptionsAndDefaultButtonAndEnterChoosesTheDefault) {
    const Case cases[] = {
        {"ok", MbButtons::Ok, MbResult::Ok, {"OK"}, "OK", MbResult::Ok},
        {"ok-cancel, ok default", MbButtons::OkCancel, MbResult::Ok, {"OK", "キャンセル"}, "OK", MbResult::Ok},
        {"ok-cancel, cancel default", MbButtons::OkCancel, MbResult::Cancel, {"OK", "キャンセル"}, "キャンセル",
         MbResult::Cancel},
        {"yes-no, no default", MbButtons::YesNo, MbResult::No, {"いいえ", "はい"}, "いいえ", MbResult::No},
        {"yes-no, yes default", MbButtons::YesNo, MbResult::Yes, {"いいえ", "はい"}, "はい", MbResult::Yes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MessageBoxSpec request;
        request.text = "一行目\r\n二行目";
        request.buttons = c.buttons;
        request.default_button = c.default_button;
        const MbResult r = run_box(request, [&](QMessageBox* box) {
            QStringList expected = c.captions;
            expected.sort();
            EXPECT_EQ(captions(box), expected);
            ASSERT_NE(box->defaultButton(), nullptr);
            EXPECT_EQ(box->defaultButton()->text(), QString::fromUtf8(c.default_caption));
            QTest::keyClick(box, Qt::Key_Return);
        });
        EXPECT_EQ(r, c.on_enter);
    }
}

TEST(QtMessageBox, EnterClicksTheFocusedButtonNotTheDefault) {
    for (auto [buttons, focused, expected] : {std::tuple{MbButtons::YesNo, "はい", MbResult::Yes},
                                              std::tuple{MbButtons::OkCancel, "キャンセル", MbResult::Cancel}}) {
        MessageBoxSpec request;
        request.text = "x";
        request.buttons = buttons;
        request.default_button = buttons == MbButtons::YesNo ? MbResult::No : MbResult::Ok;
        const MbResult r = run_box(request, [&, focused = focused](QMessageBox* box) {
            QAbstractButton* b = button(box, QString::fromUtf8(focused));
            ASSERT_NE(b, nullptr);
            b->setFocus();
            QTest::keyClick(b, Qt::Key_Return);
        });
        EXPECT_EQ(r, expected) << focused;
    }
}

TEST(QtMessageBox, TextTitleAndIconAsGiven) {
    struct TCase {
        std::string title;
        MbIcon icon;
        QString shown_title;
        QMessageBox::Icon shown_icon;
    };
    for (const TCase& c : {TCase{"送信失敗", MbIcon::Warning, "送信失敗", QMessageBox::Warning},
                           TCase{"", MbIcon::None, "OrvaneLedgrin", QMessageBox::NoIcon}}) {
        MessageBoxSpec request;
        request.title = c.title;
        request.icon = c.icon;
        // CR LF pairs are line breaks; the markup-looking text stays text.
        request.text = "まだ試験結果が印刷されていませんが\r\n終了してよろしいですか。\r\n\r\n<b>終了</b>";
        run_box(request, [&](QMessageBox* box) {
            EXPECT_EQ(box->windowTitle(), c.shown_title);
            EXPECT_EQ(box->icon(), c.shown_icon);
            EXPECT_EQ(box->text(), QStringLiteral("まだ試験結果が印刷されていませんが\n終了してよろしいですか。\n\n<b>終了</b>"));
            EXPECT_EQ(box->textFormat(), Qt::PlainText);
            button(box, "OK")->click();
        });
    }
}

TEST(QtMessageBox, SystemModalBoxStaysOnTopOfEveryWindow) {
    for (bool system_modal : {true, false}) {
        MessageBoxSpec request;
        request.text = "x";
        request.system_modal = system_modal;
        run_box(request, [&](QMessageBox* box) {
            EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);
            EXPECT_EQ(box->windowFlags().testFlag(Qt::WindowStaysOnTopHint), system_modal);
            button(box, "OK")->click();
        });
    }
}

TEST(QtMessageBox, EscAndCloseDoNotDismissAYesNoBox) {
    MessageBoxSpec request;
    request.text = "試験結果を印刷します。\r\n\r\nよろしいですか";
    request.buttons = MbButtons::YesNo;
    request.default_button = MbResult::No;
    const MbResult r = run_box(request, [](QMessageBox* box) {
        QTest::keyClick(box, Qt::Key_Escape);
        QTest::qWait(50);
        EXPECT_TRUE(box->isVisible());
        EXPECT_FALSE(box->close());
        QTest::qWait(50);
        EXPECT_TRUE(box->isVisible());
        button(box, "はい")->click();
    });
    EXPECT_EQ(r, MbResult::Yes);
}

TEST(QtMessageBox, EscAnswersOkAndCancelBoxesAsCancelAndOk) {
    for (auto [buttons, expected] : {std::pair{MbButtons::OkCancel, MbResult::Cancel}, std::pair{MbButtons::Ok, MbResult::Ok}}) {
        MessageBoxSpec request;
        request.text = "本当に送信を中止してよろしいですか？";
        request.buttons = buttons;
        request.default_button = MbResult::Ok;
        const MbResult r = run_box(request, [](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        EXPECT_EQ(r, expected);
    }
}

TEST(QtMessageBox, ScreenshotOfAJapaneseBox) {
    QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
    const QFont old = QApplication::font();
    QApplication::setFont(QFont(QStringLiteral("ＭＳ Ｐゴシック"), 10));
    MessageBoxSpec request;
    request.title = "送信リトライ";
    request.text =
        "ネットワークを確認し、OKボタンを押してください。\r\nもう一度送信します。\r\n"
        "何度リトライしてもだめな場合はVarnelセンターにお問い合わせください。\r\n"
        "キャンセルをクリックすると送信を中止します。";
    request.buttons = MbButtons::OkCancel;
    request.system_modal = true;
    run_box(request, [](QMessageBox* box) {
        QTest::qWait(200);
        auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(QFontInfo(label->font()).family(), QStringLiteral("IPAPGothic"));
        EXPECT_TRUE(fakes::save_screenshot("msgbox.png", box));
        button(box, "OK")->click();
    });
    QApplication::setFont(old);
}

}  // namespace
