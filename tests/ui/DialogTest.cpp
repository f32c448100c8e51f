// Message boxes for the engine's questions, and the captions from the language file.
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <functional>

#include "MessageBoxPresenter.h"
#include "UiTestSupport.h"
#include "support/Language.h"

namespace pixadra::uitest {
namespace {

enum class Act { ClickFirst, ClickSecond, Enter, Escape, CloseBox };

struct Seen {
    QString title;
    QStringList buttons;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Shows a dialog through the message-box presenter and acts on it as a user would.
int ShowAndAct(int kind, int buttons, Act act, Seen* seen = nullptr) {
    MessageBoxPresenter presenter;
    DialogPresenter* previous = CurrentDialogPresenter();
    SetDialogPresenter(&presenter);
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box || !box->isVisible()) return;
        poll.stop();
        QList<QPushButton*> order;
        for (QAbstractButton* b : box->buttons()) order << static_cast<QPushButton*>(b);
        std::sort(order.begin(), order.end(), [](QPushButton* a, QPushButton* b) { return a->x() < b->x(); });
        if (seen) {
            seen->title = box->windowTitle();
            seen->icon = box->icon();
            for (QPushButton* b : order) seen->buttons << b->text();
        }
        switch (act) {
            case Act::ClickFirst: order.at(0)->click(); break;
            case Act::ClickSecond: order.at(1)->click(); break;
            case Act::Enter: QTest::keyClick(box, Qt::Key_Return); break;
            case Act::Escape: QTest::keyClick(box, Qt::Key_Escape); break;
            case Act::CloseBox: box->close(); break;
        }
        // A key that presses nothing leaves the box open; close it so the test goes on.
        QTimer::singleShot(50, box, [box] { box->close(); });
    });
    poll.start();
    const int result = ShowLanguageDialog("Frage?", kind, buttons);
    SetDialogPresenter(previous);
    return result;
}

}  // namespace

class DialogTest : public QObject {
    Q_OBJECT

private slots:
    void resultsOfButtonsKeysAndCloseBox_data() {
        QTest::addColumn<int>("buttons");
        QTest::addColumn<int>("act");
        QTest::addColumn<int>("expected");
        QTest::newRow("YesNo Yes") << 3 << int(Act::ClickFirst) << 6;
        QTest::newRow("YesNo No") << 3 << int(Act::ClickSecond) << 7;
        QTest::newRow("YesNo Enter") << 3 << int(Act::Enter) << 6;
        QTest::newRow("YesNo Escape") << 3 << int(Act::Escape) << 7;
        QTest::newRow("YesNo close box") << 3 << int(Act::CloseBox) << 2;
        QTest::newRow("OK OK") << 4 << int(Act::ClickFirst) << 1;
        QTest::newRow("OK Enter") << 4 << int(Act::Enter) << 1;
        QTest::newRow("OK Escape") << 4 << int(Act::Escape) << 1;
        QTest::newRow("OK close box") << 4 << int(Act::CloseBox) << 2;
        QTest::newRow("OKCancel Escape") << 12 << int(Act::Escape) << 2;
        QTest::newRow("OKCancel Enter") << 12 << int(Act::Enter) << 1;
        QTest::newRow("YesNoCancel Escape") << 11 << int(Act::Escape) << 2;
        QTest::newRow("YesCancel Enter") << 9 << int(Act::Enter) << 6;
        QTest::newRow("No alone: Enter presses nothing") << 2 << int(Act::Enter) << 2;
    }
    void resultsOfButtonsKeysAndCloseBox() {
        QFETCH(int, buttons);
        QFETCH(int, act);
        QFETCH(int, expected);
        QCOMPARE(ShowAndAct(3, buttons, static_cast<Act>(act)), expected);
    }

    void titleIconAndButtonsComeFromTheLanguageFile() {
        Seen seen;
        ShowAndAct(3, 11, Act::CloseBox, &seen);
        QCOMPARE(seen.title, QString::fromStdString(GetLanguageWord("Const", "dlg_confirmation")) + " - Pixadra 4.1.0");
        QCOMPARE(seen.icon, QMessageBox::Question);
        QCOMPARE(seen.buttons, (QStringList{"Ja", "Nein", "Abbrechen"}));
        Seen error;
        ShowAndAct(1, 4, Act::Enter, &error);
        QCOMPARE(error.icon, QMessageBox::Critical);
        QCOMPARE(error.buttons, QStringList{"OK"});
    }

    void unknownButtonSetShowsNothing() {
        MessageBoxPresenter presenter;
        DialogPresenter* previous = CurrentDialogPresenter();
        SetDialogPresenter(&presenter);
        QCOMPARE(ShowLanguageDialog("x", 2, 5), 0);
        SetDialogPresenter(previous);
    }

    void captionsComeFromAFreshReadInFileOrder() {
        Sandbox sandbox;
        Harness h(sandbox, false);
        auto* misfit = new QPushButton(h.c.Layer_Welcome);
        misfit->setObjectName("Label_Misfit");
        misfit->setText("unchanged");
        const std::string file = sandbox.root.File("Captions.lang");
        testing::WriteFile(file,
                           "[Components]\n"
                           "label_welcome_1=  Erste#13#10Zeile  \n"
                           "Label_Missing=nobody\n"
                           "Label_Misfit=not a label\n"
                           "Image_Preview=no prefix of ours\n"
                           "Btn_Next=Vorwärts\n"
                           "CHECKBOX_DBADD_SYNC=Abgleichen\n"
                           "Radio_ChooseSource_Movie=Film\n"
                           "Btn_Prev=erst\n"
                           "Btn_Prev=zweit\n"
                           "[Other]\n"
                           "Label_Welcome_2=not in Components\n");
        const QString welcome2 = h.c.Label_Welcome_2->text();
        h.window->SetLanguageFrom(file);
        QCOMPARE(h.c.Label_Welcome_1->text(), QString("Erste#13#10Zeile"));
        QCOMPARE(misfit->text(), QString("unchanged"));
        QCOMPARE(h.c.Image_Preview->text(), QString());
        QCOMPARE(h.c.Btn_Next->text(), QString("Vorwärts"));
        QCOMPARE(h.c.CheckBox_DBAdd_Sync->text(), QString("Abgleichen"));
        QCOMPARE(h.c.Radio_ChooseSource_Movie->text(), QString("Film"));
        QCOMPARE(h.c.Label_Welcome_2->text(), welcome2);
        // Values are found by key, so a repeated key gives its first value each time.
        QCOMPARE(h.c.Btn_Prev->text(), QString("erst"));
    }

    void missingLanguageFileChangesNoCaption() {
        Sandbox sandbox;
        Harness h(sandbox, false);
        const QString before = h.c.Label_Welcome_1->text();
        h.window->SetLanguageFrom(sandbox.root.File("nothing-here.lang"));
        QCOMPARE(h.c.Label_Welcome_1->text(), before);
    }

    void startUpCaptionsTheWindowFromDefaultLang() {
        Sandbox sandbox;
        Harness h(sandbox);
        const auto ini = IniFile::Load(LanguageFilePath());
        QCOMPARE(h.c.Label_DBAdd_Sync_Desc->text(),
                 QString::fromStdString(TrimBlanksAndControls(*ini->Value("Components", "Label_DBAdd_Sync_Desc"))));
        QCOMPARE(h.window->windowTitle(), QString("Pixadra 4.1.0"));
        QCOMPARE(h.c.Label_Version->text(), QString("V4.1.0"));
    }
};

PIXADRA_UI_TEST(DialogTest);

}  // namespace pixadra::uitest

#include "DialogTest.moc"
