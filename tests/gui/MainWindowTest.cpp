#include "app/MessageBoxSink.h"
#include "app/ProgramFiles.h"
#include "gui/GuiFixture.h"

#include <QApplication>
#include <QDate>
#include <QLabel>
#include <QLocale>
#include <QMessageBox>
#include <QRadioButton>
#include <gtest/gtest.h>

namespace {

using namespace veltrim;
using namespace veltrim::testing;
namespace mc = maincontrols;

class WindowAfterLoad : public ::testing::TestWithParam<Language> {};

TEST_P(WindowAfterLoad, DefaultsNoResultsAndAnEmptyFrame) {
    const QDate before = QDate::currentDate();
    WindowFixture f(GetParam());
    const QDate after = QDate::currentDate();
    MainWindow& w = *f.window;

    const char* defaults[] = {"80", "12", "2.5", "0", "0", "100", "30", "30"};
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(f.Field(mc::ConditionFields[i]).text(), defaults[i]) << i;
    EXPECT_TRUE(FindControl<QRadioButton>(w, mc::ConstantPotential).isChecked());
    EXPECT_EQ(w.State().Conditions.Rectification, RectificationMethod::ConstantPotential);
    EXPECT_FALSE(f.Button(mc::SaveNumbers).isEnabled());
    EXPECT_FALSE(f.Button(mc::SavePicture).isEnabled());
    EXPECT_TRUE(f.Button(mc::Ok).isEnabled());
    EXPECT_EQ(Readouts(w), NoReadouts);
    for (int n = 1; n <= 4; ++n)
        EXPECT_FALSE(w.Graph().Line(n).Visible) << n;
    EXPECT_TRUE(f.sink.Messages.empty());
    EXPECT_EQ(w.Graph().Image(), EmptyChart());

    const QString csvName = f.Field(mc::NumbersFileName).text();
    EXPECT_TRUE(csvName == FileNameDate(before) || csvName == FileNameDate(after))
        << csvName.toStdString();
    EXPECT_EQ(f.Field(mc::PictureFileName).text(), csvName);

    // The line of what the next OK uses lies in free space, whole: it covers
    // no control of the design and its text fits it.
    const QLabel& next = FindControl<QLabel>(w, mc::NextCalculation);
    EXPECT_TRUE(w.rect().contains(next.geometry()));
    EXPECT_LE(next.sizeHint().width(), next.width()) << next.text().toStdString();
    EXPECT_LE(next.sizeHint().height(), next.height());
    for (const QWidget* control : w.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control != &next && control->isVisibleTo(&w)) {
            EXPECT_FALSE(control->geometry().intersects(next.geometry()))
                << control->objectName().toStdString();
        }
}

INSTANTIATE_TEST_SUITE_P(BothEditions, WindowAfterLoad, BothEditions, EditionName);

TEST(FileNameDate, MonthFirstZeroPaddedInEveryLocale) {
    const QLocale saved;
    for (const QLocale::Language language :
         {QLocale::Japanese, QLocale::German, QLocale::English}) {
        QLocale::setDefault(QLocale(language));
        EXPECT_EQ(FileNameDate(QDate(2026, 12, 5)), "12-05-2026");
        EXPECT_EQ(FileNameDate(QDate(2027, 3, 14)), "03-14-2027");
    }
    // The window's names are FileNameDate's: the test after load.
    QLocale::setDefault(saved);
}

TEST(LoadFailure, MissingTableIsNamedAndOkRefusesToCompute) {
    WindowFixture f(Language::English, /*withData=*/false);
    MainWindow& w = *f.window;
    ASSERT_EQ(f.sink.Messages.size(), 1u);
    EXPECT_TRUE(Holds(f.sink.Messages[0], "Tungsten.dat"));
    EXPECT_FALSE(w.State().AttenuationLoaded);

    w.Calculate();
    ASSERT_EQ(f.sink.Messages.size(), 2u);
    EXPECT_TRUE(Holds(f.sink.Messages[1], "no calculation is possible"));
    EXPECT_FALSE(f.Button(mc::SaveNumbers).isEnabled());
    EXPECT_FALSE(f.Button(mc::SavePicture).isEnabled());
    EXPECT_EQ(w.State().ResultsReady, 0);
    EXPECT_EQ(w.Graph().Image(), EmptyChart());
    EXPECT_FALSE(f.WorkingFileExists());
    EXPECT_TRUE(f.Button(mc::Ok).isEnabled());
}

TEST(MessageBoxSink, ModalOkOnlyNoIconTitledWithTheApplication) {
    const QString said = QString::fromUtf8(" 正しく計算できませんでした。");
    bool seen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &poll, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (box == nullptr)
            return;
        seen = true;
        EXPECT_TRUE(box->isModal());
        EXPECT_EQ(box->windowTitle(), QApplication::applicationName());
        EXPECT_EQ(box->text(), said);
        EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
        EXPECT_EQ(box->buttons().size(), 1);
        box->done(QMessageBox::Ok);
    });
    poll.start(10);
    MessageBoxSink().Show(said.toStdString());
    EXPECT_TRUE(seen);
}

} // namespace
