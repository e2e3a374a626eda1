#pragma once
// Acting on a modal box or dialog of ours once it is up, from the loop it runs, as a person
// at the screen would: the test cannot act on it after the call that shows it, which
// returns only when it has closed.
#include <QApplication>
#include <QTimer>
#include <QWidget>
#include <functional>

namespace fakes {

template <class Modal>
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(Modal*)> act) : act_(std::move(act)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* modal = qobject_cast<Modal*>(QApplication::activeModalWidget());
            if (!modal || !modal->isVisible() || acted_) return;
            acted_ = true;
            timer_.stop();
            act_(modal);
        });
        timer_.start(20);
    }
    bool acted() const { return acted_; }

private:
    std::function<void(Modal*)> act_;
    QTimer timer_;
    bool acted_ = false;
};

}  // namespace fakes
