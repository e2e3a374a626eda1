// Message boxes on QMessageBox.
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QShowEvent>
#include <QString>
#include <vector>

#include "backends.h"
#include "message_box.h"
#include "stacking.h"
#include "x11_own_windows.h"

namespace platform {

namespace {

// A Yes/No box asks a question that must be answered: neither Esc nor the window
// manager's close may take it away, and a QMessageBox would treat both as "No".
class ChoiceBox final : public QMessageBox {
public:
    bool must_choose = false;

protected:
    void showEvent(QShowEvent* e) override {
        QMessageBox::showEvent(e);
        // A question that must be answered offers the window manager no close button. Qt
        // writes its own idea of the buttons while it maps the box; ours go over it once
        // the box's loop turns.
        if (must_choose && !e->spontaneous()) {
            QMetaObject::invokeMethod(
                this, [this] { x11::set_window_hints(this, WindowHints{true, false}); }, Qt::QueuedConnection);
        }
    }

    void keyPressEvent(QKeyEvent* e) override {
        if (must_choose && e->key() == Qt::Key_Escape) {
            e->accept();
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override {
        if (must_choose && !clickedButton()) {
            e->ignore();
            return;
        }
        QMessageBox::closeEvent(e);
    }
};

QString shown_text(const std::string& text) {
    QString t = QString::fromStdString(text);
    t.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    t.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return t;
}

class QtMessageBox final : public MessageBox {
public:
    explicit QtMessageBox(std::string default_title) : default_title_(std::move(default_title)) {}

    MbResult show(const MessageBoxSpec& request) override {
        return run_box(QString::fromStdString(request.title.empty() ? default_title_ : request.title), request);
    }

private:
    static MbResult run_box(const QString& title, const MessageBoxSpec& request) {
        ChoiceBox box;
        box.setWindowTitle(title);
        box.setTextFormat(Qt::PlainText);
        box.setText(shown_text(request.text));
        box.setIcon(request.icon == MbIcon::Warning ? QMessageBox::Warning : QMessageBox::NoIcon);
        box.setWindowModality(Qt::ApplicationModal);
        if (request.system_modal) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);

        struct Choice {
            MbResult result;
            QMessageBox::StandardButton button;
            const char* caption;
        };
        std::vector<Choice> choices;
        switch (request.buttons) {
            case MbButtons::Ok:
                choices = {{MbResult::Ok, QMessageBox::Ok, "OK"}};
                break;
            case MbButtons::OkCancel:
                choices = {{MbResult::Ok, QMessageBox::Ok, "OK"},
                           {MbResult::Cancel, QMessageBox::Cancel, "キャンセル"}};
                break;
            case MbButtons::YesNo:
                choices = {{MbResult::Yes, QMessageBox::Yes, "はい"}, {MbResult::No, QMessageBox::No, "いいえ"}};
                box.must_choose = true;
                break;
        }
        std::vector<QPushButton*> buttons;
        for (const auto& c : choices) {
            QPushButton* b = box.addButton(c.button);
            b->setText(QString::fromUtf8(c.caption));
            b->setIcon(QIcon());  // captions only, whatever the style's habit
            buttons.push_back(b);
        }
        // A default that the box does not have falls back to its first button.
        QPushButton* def = buttons.front();
        for (size_t i = 0; i < choices.size(); ++i)
            if (choices[i].result == request.default_button) def = buttons[i];
        box.setDefaultButton(def);
        if (!box.must_choose) {
            box.setEscapeButton(request.buttons == MbButtons::OkCancel ? buttons.back() : buttons.front());
        }

        // Above the window it was opened over, even one kept above all others, and with the
        // focus; the focus goes back there once it is answered.
        QPointer<QWidget> below = window_below(&box);
        stack_above(&box, below);
        box.exec();
        return_focus(below);
        for (size_t i = 0; i < choices.size(); ++i)
            if (box.clickedButton() == buttons[i]) return choices[i].result;
        // Closed without a button: OK for an OK box, Cancel for an OK/Cancel box.
        return request.buttons == MbButtons::Ok ? MbResult::Ok : MbResult::Cancel;
    }

    std::string default_title_;
};

}  // namespace

std::unique_ptr<MessageBox> make_qt_message_box(const std::string& default_title) {
    return std::make_unique<QtMessageBox>(default_title);
}

}  // namespace platform
