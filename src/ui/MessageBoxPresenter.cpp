#include "MessageBoxPresenter.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMap>
#include <QMessageBox>
#include <QPushButton>

#include "support/ApplicationTitle.h"

namespace pixadra {
namespace {

QMessageBox::Icon IconOf(int kind) {
    switch (kind) {
        case kDlgWarning: return QMessageBox::Warning;
        case kDlgError: return QMessageBox::Critical;
        case kDlgInformation: return QMessageBox::Information;
        case kDlgConfirmation: return QMessageBox::Question;
        default: return QMessageBox::NoIcon;
    }
}

// A message box whose Enter, Escape and close box give exactly the results of the request,
// which QMessageBox's own guesses about "escape buttons" would not.
class RequestBox : public QMessageBox {
public:
    RequestBox(const DialogRequest& request, QWidget* parent) : QMessageBox(parent), request_(request) {
        setIcon(IconOf(request.kind));
        setWindowTitle(QString::fromStdString(request.title.empty() ? ApplicationTitle() : request.title));
        setText(QString::fromStdString(request.text));
        for (const auto& choice : request.buttons) {
            QPushButton* button = addButton(QString::fromStdString(choice.caption), QMessageBox::AcceptRole);
            results_.insert(button, choice.result);
            if (choice.result == request.enterResult) setDefaultButton(button);
        }
        result_ = request.closeResult;
        connect(this, &QMessageBox::buttonClicked, this, [this](QAbstractButton* button) {
            if (!results_.contains(button)) return;
            result_ = results_.value(button);
            finished_ = true;
        });
    }

    int Run() {
        exec();
        return result_;
    }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape) {
            Finish(request_.escapeResult);
        } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (request_.enterResult != 0) Finish(request_.enterResult);
        } else {
            QMessageBox::keyPressEvent(event);
        }
    }

    void closeEvent(QCloseEvent* event) override {
        // A button already chose the result; otherwise the title bar's close box did.
        if (!finished_) result_ = request_.closeResult;
        finished_ = true;
        QDialog::closeEvent(event);
        event->accept();
    }

private:
    void Finish(int result) {
        if (result == 0) return;
        result_ = result;
        finished_ = true;
        QDialog::done(0);
    }

    DialogRequest request_;
    QMap<QAbstractButton*, int> results_;
    int result_ = 0;
    bool finished_ = false;
};

}  // namespace

int MessageBoxPresenter::Present(const DialogRequest& request) {
    RequestBox box(request, parent_);
    return box.Run();
}

void MessageBoxPresenter::PresentPlain(const std::string& text) {
    QMessageBox box(QMessageBox::NoIcon, QString::fromStdString(ApplicationTitle()), QString::fromStdString(text),
                    QMessageBox::Ok, parent_);
    box.exec();
}

}  // namespace pixadra
