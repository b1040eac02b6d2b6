// The transfer window on the offscreen platform, driven through scripted ports
// with a plain widget standing in for the main window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPointer>
#include <QPushButton>
#include <QSet>
#include <QStatusBar>
#include <QTableWidget>
#include <QTest>
#include <cmath>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "geodesy/ParameterError.h"
#include "gis/CoordinateReference.h"
#include "support/GisFiles.h"
#include "support/ScriptedPorts.h"
#include "support/TempFolder.h"
#include "transfer/FrmMERIDEX.h"
#include "ui/DataTableDialog.h"

namespace {

class FrmMERIDEXTest : public ::testing::Test {
  protected:
    void SetUp() override {
        mainWindow_.show();
        Open();
    }
    void TearDown() override { delete window_.data(); }

    void Open() { window_ = utm::OpenMeridex(&mainWindow_, messages_, dialogs_); }
    template <typename T>
    T* Child(const char* name) {
        T* child = window_->findChild<T*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }
    void Click(const char* button) { Child<QPushButton>(button)->click(); }
    QString Text6() { return Child<QLineEdit>("Text6")->text(); }
    void ExpectClosedAndMainWindowBack() {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(window_.isNull());
        EXPECT_TRUE(mainWindow_.isVisible());
    }

    QMainWindow mainWindow_;
    utm::test::ScriptedMessageBox messages_;
    utm::test::ScriptedFileDialog dialogs_;
    QPointer<utm::FrmMERIDEX> window_;
    utm::test::TempFolder folder_;
};

TEST_F(FrmMERIDEXTest, StartState) {
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(mainWindow_.isVisible());
    EXPECT_TRUE(window_->isWindow() && window_->parent() == nullptr && !window_->isModal());
    EXPECT_EQ(window_->windowTitle(), "MERIDEX");
    EXPECT_EQ(Child<QGroupBox>("Frame1")->title(), "Conversion :-");
    EXPECT_EQ(Child<QLabel>("Label1")->text() + Child<QLabel>("Label2")->text(), "From :To :");
    EXPECT_EQ(Text6(), "Load data file");
    QStringList buttons;
    for (const char* name : {"Command1", "Command2", "Command3", "Command4"}) {
        buttons << Child<QPushButton>(name)->text();
    }
    EXPECT_EQ(buttons, (QStringList{"&Browse", "Within Excel", "OK", "Cancel"}));
    auto* combo2 = Child<QComboBox>("Combo2");
    EXPECT_TRUE(combo2->isEditable() && combo2->count() == 0);
    EXPECT_EQ(combo2->currentText(), "Combo2");

    auto* combo1 = Child<QComboBox>("Combo1");
    EXPECT_TRUE(combo1->isEditable());
    QStringList items;
    for (int i = 0; i < combo1->count(); ++i) items << combo1->itemText(i);
    EXPECT_EQ(items, (QStringList{"Everest-81 to Everest-84", "Everest-87 to Everest-84",
                                  "WGS84-44 to Everest-84", "WGS84-45 to Everest-84",
                                  "Everest-84 to Everest-81", "Everest-84 to Everest-87",
                                  "Everest-84 to WGS84-44", "Everest-84 to WGS84-45"}));
    EXPECT_EQ(combo1->currentText(), "Everest-81 to Everest-84");
    EXPECT_EQ(window_->TransferKindPosition(), 0);
    combo1->setCurrentIndex(3);
    EXPECT_EQ(window_->TransferKindPosition(), 3);
    QTest::keyClicks(combo1->lineEdit(), "x");  // typed text selects no entry, adds none
    EXPECT_EQ(window_->TransferKindPosition(), -1);
    EXPECT_EQ(combo1->count(), 8);
    // Typing a caption (in other case) and pressing Enter picks no entry.
    combo1->lineEdit()->clear();
    QTest::keyClicks(combo1->lineEdit(), "everest-87 to everest-84");
    QTest::keyClick(combo1->lineEdit(), Qt::Key_Return);
    QTest::keyClick(combo1->lineEdit(), Qt::Key_Enter);
    EXPECT_EQ(window_->TransferKindPosition(), -1);
    EXPECT_EQ(combo1->currentText(), "everest-87 to everest-84");
}

TEST_F(FrmMERIDEXTest, BrowseCancelledConfirmedCancelled) {
    dialogs_.choices = {std::nullopt, std::string("/data/pts.csv"), std::nullopt};
    Click("Command1");
    ASSERT_EQ(dialogs_.requests.size(), 1u);
    EXPECT_EQ(dialogs_.requests[0].action, utm::FileDialogAction::Open);
    EXPECT_EQ(dialogs_.requests[0].filter,
              "*.csv (CSV Files)|*.csv|*.txt (Text Files:Tab delimeted)|*.txt|GIS Files "
              "(*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf)|"
              "*.gpx;*.kml;*.geojson;*.json;*.shp;*.gpkg;*.dxf");
    EXPECT_EQ(dialogs_.requests[0].title, "Select the data file for Conversion");
    EXPECT_EQ(Text6(), "");  // no earlier choice in this window
    Click("Command1");
    EXPECT_EQ(Text6(), "/data/pts.csv");
    Click("Command1");
    EXPECT_EQ(dialogs_.requests[2].fileName, "/data/pts.csv");
    EXPECT_EQ(Text6(), "/data/pts.csv");
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(FrmMERIDEXTest, OkTransfersTheBrowsedFileThenClosesAndShowsTheMainWindow) {
    dialogs_.choices = {folder_.Write("pts.csv", "426207.01,3206261.5\r\n1,2\r\n")};
    Click("Command1");
    QTest::keyClicks(Child<QComboBox>("Combo1")->lineEdit(), " typed");
    Click("Command3");
    std::ifstream result(folder_.File("ptsOut.csv"), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(result), {}),
              "426207.01,3206261.5,,\r\n1,2,,\r\n");
    EXPECT_TRUE(messages_.shown.empty());
    // Said in the main window's status line, which the window closes back to.
    EXPECT_TRUE(mainWindow_.statusBar()->currentMessage().startsWith(
        QStringLiteral("2 points written to ptsOut.csv in ")))
        << mainWindow_.statusBar()->currentMessage().toStdString();
    ExpectClosedAndMainWindowBack();
}

TEST_F(FrmMERIDEXTest, BrowseShowsTheFileAsATableAndOkTransfersThePickedColumns) {
    // A text file, tab-separated: X and Y after a point number and a code.
    const std::string data =
        folder_.Write("pts.txt", "No\tEasting\tNorthing\tCode\r\n1\t426207.01\t3206261.5\tBM\r\n");
    dialogs_.choices = {data};
    Click("Command1");
    utm::DataTableDialog* table = window_->DataTableWindow();
    ASSERT_NE(table, nullptr);
    EXPECT_TRUE(table->isVisible());
    EXPECT_EQ(table->Choice().Kind(), utm::CoordinateKind::Grid);
    EXPECT_EQ(table->findChild<QComboBox*>("Separator")->currentText(), QStringLiteral("Tab"));
    EXPECT_EQ(table->findChild<QComboBox*>("FirstColumn")->currentText(),
              QStringLiteral("2: Easting"));
    EXPECT_EQ(table->findChild<QTableWidget*>("Preview")->rowCount(), 2);
    auto* first = table->findChild<QComboBox*>("FirstColumn");
    first->setCurrentIndex(0);
    emit first->activated(0);
    EXPECT_EQ(table->RequestFor(data).columns, "1,3");

    // A file that cannot be read shows no table.
    dialogs_.choices = {folder_.File("missing.csv")};
    Click("Command1");
    ASSERT_NE(window_->DataTableWindow(), nullptr);
    EXPECT_FALSE(window_->DataTableWindow()->isVisible());
}

TEST_F(FrmMERIDEXTest, BrowseOnAShapefileShowsNoTableAndOkWritesItsOutShapefile) {
    const std::string data = folder_.File("parcels.shp");
    utm::test::WriteGisLayer(data, "ESRI Shapefile",
                             utm::SpatialReferenceOf({true, false, 81, 0.9999}), wkbPoint,
                             {{"POINT (426207.01 3206261.5)", "pillar"}});
    dialogs_.choices = {data};
    Click("Command1");
    EXPECT_EQ(window_->DataTableWindow(), nullptr);
    Click("Command3");
    EXPECT_TRUE(messages_.shown.empty());
    const auto result = utm::test::ReadGisFeatures(folder_.File("parcelsOut.shp"));
    EXPECT_NEAR(result.at(0).second.at(0)[0], 133754.5409, 1e-4);  // the worked example
    ExpectClosedAndMainWindowBack();
}

TEST_F(FrmMERIDEXTest, OkWithoutAFileSaysSoAndStaysAndAFailureCloses) {
    // Without a data file (the first text, none, or a name of no file) OK says
    // so and the window keeps what was typed.
    Child<QComboBox>("Combo3")->setCurrentIndex(2);
    Child<QLineEdit>("Text7")->setText(QStringLiteral("1"));
    for (const QString& path : {QStringLiteral("Load data file"), QString(),
                                QString::fromStdString(folder_.File("none.csv"))}) {
        SCOPED_TRACE(path.toStdString());
        messages_.shown.clear();
        Child<QLineEdit>("Text6")->setText(path);
        Click("Command3");
        ASSERT_EQ(messages_.shown.size(), 1u);
        EXPECT_EQ(messages_.shown[0].text, "Select the data file");
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(window_.isNull());
        EXPECT_TRUE(window_->isVisible());
        EXPECT_EQ(Child<QLineEdit>("Text7")->text(), QStringLiteral("1"));
        EXPECT_EQ(Text6(), path);
    }
    EXPECT_TRUE(folder_.Entries().empty());

    messages_.shown.clear();
    Child<QLineEdit>("Text6")->setText(QString::fromStdString(folder_.Write("empty.csv", "")));
    Click("Command3");
    ASSERT_EQ(messages_.shown.size(), 1u);
    EXPECT_NE(messages_.shown[0].text.find("holds no lines"), std::string::npos);
    EXPECT_EQ(folder_.Entries(), std::set<std::string>{"empty.csv"});
    EXPECT_TRUE(mainWindow_.statusBar()->currentMessage().isEmpty());
    ExpectClosedAndMainWindowBack();
}

TEST_F(FrmMERIDEXTest, CancelAndTitleBarCloseBringTheMainWindowBack) {
    Child<QLineEdit>("Text6")->setText("/data/x.csv");
    Click("Command4");
    ExpectClosedAndMainWindowBack();
    Open();
    EXPECT_FALSE(mainWindow_.isVisible());
    EXPECT_EQ(Text6(), "Load data file");  // a fresh window
    window_->close();                      // the close request the title bar sends
    ExpectClosedAndMainWindowBack();
}

TEST_F(FrmMERIDEXTest, WithinExcelRunsItsHookAndLeavesTheWindowOpen) {
    Click("Command2");  // no hook: nothing happens
    int calls = 0;
    window_->WithinExcel = [&] { ++calls; };
    Click("Command2");
    EXPECT_EQ(calls, 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_FALSE(window_.isNull());
    EXPECT_TRUE(window_->isVisible());
    EXPECT_FALSE(mainWindow_.isVisible());
}

TEST_F(FrmMERIDEXTest, EnterOnAFocusedButtonPressesItAndTheWindowHasTheProgramsIcon) {
    EXPECT_TRUE(window_->testAttribute(Qt::WA_SetWindowIcon));
    EXPECT_FALSE(window_->windowIcon().pixmap(32, 32).isNull());
    window_->activateWindow();
    auto* browse = Child<QPushButton>("Command1");
    browse->setFocus();
    QTest::keyClick(browse, Qt::Key_Return);
    EXPECT_EQ(dialogs_.requests.size(), 1u);
    auto* cancel = Child<QPushButton>("Command4");
    cancel->setFocus();
    QTest::keyClick(cancel, Qt::Key_Enter, Qt::KeypadModifier);
    ExpectClosedAndMainWindowBack();
}

// --- The datum shift ----------------------------------------------------------------

class FrmMERIDEXDatum : public FrmMERIDEXTest {
  protected:
    QComboBox* Kinds() { return Child<QComboBox>("Combo1"); }
    QComboBox* Shift() { return Child<QComboBox>("Combo3"); }
    QLabel* Warning() { return Child<QLabel>("Label4"); }
    /// Picks kind 3 (WGS84-45 to Everest-84), whose datum shift takes the
    /// seven parameters, then types them.
    void TypeParameters(const std::vector<QString>& values) {
        Kinds()->setCurrentIndex(3);
        for (std::size_t i = 0; i < values.size(); ++i) {
            auto* box = Child<QLineEdit>(("Text" + std::to_string(7 + i)).c_str());
            box->clear();
            QTest::keyClicks(box, values[i]);
        }
    }
    /// OK with kind 3 on the GPS point WGS 84 27.7°, 85.3° as WGS84 zone 45
    /// coordinates (utmconv point --ellipsoid wgs84 --cm 87); the result line.
    std::string TransferGpsPoint() {
        Child<QLineEdit>("Text6")->setText(QString::fromStdString(
            folder_.Write("gps.csv", "332377.022737274,3065126.71761273\r\n")));
        Kinds()->setCurrentIndex(3);
        Click("Command3");
        std::ifstream in(folder_.File("gpsOut.csv"), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static double ResultX(const std::string& line) {
        return std::stod(line.substr(line.find(',', line.find(',') + 1) + 1));
    }
};

TEST_F(FrmMERIDEXDatum, NoShiftAtStartAndTheLineShowsForTheCrossingKindsOnly) {
    QStringList items;
    for (int i = 0; i < Shift()->count(); ++i) items << Shift()->itemText(i);
    EXPECT_EQ(items, (QStringList{"None", "EPSG:6208 (Nepal 1981 to WGS 84)",
                                  "Seven parameters, position vector",
                                  "Seven parameters, coordinate frame"}));
    EXPECT_EQ(Shift()->currentIndex(), 0);
    EXPECT_EQ(Child<QLabel>("Label3")->text(), "Datum shift :");
    EXPECT_FALSE(Child<QGroupBox>("Frame2")->isVisible());
    EXPECT_EQ(Warning()->text().toStdString(),
              "No datum shift: results differ from a datum-shifted transfer by 163–275 m "
              "in Nepal");
    for (int kind = 0; kind < 8; ++kind) {
        Kinds()->setCurrentIndex(kind);
        EXPECT_EQ(Warning()->isVisible(), kind == 2 || kind == 3 || kind >= 6) << kind;
    }
    Shift()->setCurrentIndex(1);
    EXPECT_FALSE(Warning()->isVisible());
    EXPECT_EQ(window_->ChosenDatumShift(), utm::DatumShift::Epsg6208());
    Kinds()->setCurrentIndex(0);  // a shift does not act on a zone transfer
    EXPECT_TRUE(window_->ChosenDatumShift().IsNone());
    Shift()->setCurrentIndex(0);
    Kinds()->setCurrentIndex(2);
    EXPECT_TRUE(Warning()->isVisible());
    const QRect line(Warning()->mapTo(window_, QPoint(0, 0)), Warning()->size());
    EXPECT_TRUE(window_->rect().contains(line));
    EXPECT_GE(Warning()->width(), Warning()->sizeHint().width());
    QTest::keyClicks(Kinds()->lineEdit(), "x");  // typed text: no kind, no line
    EXPECT_FALSE(Warning()->isVisible());
    EXPECT_TRUE(messages_.shown.empty());  // never a message box for it
}

TEST_F(FrmMERIDEXDatum, OkTransfersWithTheChosenShift) {
    Shift()->setCurrentIndex(1);
    const std::string epsg = TransferGpsPoint();
    ExpectClosedAndMainWindowBack();
    EXPECT_NEAR(ResultX(epsg), 628431.102, 0.001);
    Open();
    EXPECT_NEAR(ResultX(TransferGpsPoint()), 628198.193, 0.001);  // none, the default
    // EPSG:6208's translation typed as seven parameters (blanks and all).
    Open();
    Shift()->setCurrentIndex(2);
    TypeParameters({"293.17", "726.18", " 245.36", "0", "0", "0", "0"});
    EXPECT_EQ(TransferGpsPoint(), epsg);
    // With rotations the two conventions differ.
    Open();
    Shift()->setCurrentIndex(2);
    TypeParameters({"293.17", "726.18", "245.36", "1", "2", "3", "0"});
    const double pv = ResultX(TransferGpsPoint());
    Open();
    Shift()->setCurrentIndex(3);
    TypeParameters({"293.17", "726.18", "245.36", "1", "2", "3", "0"});
    EXPECT_GT(std::fabs(ResultX(TransferGpsPoint()) - pv), 1.0);
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(FrmMERIDEXDatum, BadParametersAreNamedNothingIsWrittenAndTheWindowStays) {
    Child<QLineEdit>("Text6")->setText(
        QString::fromStdString(folder_.Write("gps.csv", "332377.022737274,3065126.71761273\r\n")));
    Kinds()->setCurrentIndex(3);
    Shift()->setCurrentIndex(2);
    int withinExcel = 0;
    window_->WithinExcel = [&] { ++withinExcel; };
    const struct {
        std::vector<QString> values;
        std::string says;
    } cases[] = {
        {{"293.17", "abc", "245.36", "0", "0", "0", "0"}, "TY \"abc\" is not a number"},
        {{"293.17", "726.18", "245.36", "0", "0", "0", ""}, "S is empty"},  // six for seven
        {{"293.17", "726.18", "245.36", "0", "0", "0", "-1000000"},
         "value 7 (S) -1e+06 ppm lies outside -1000 to 1000 ppm"},
        // A rotation of 180 degrees typed in arc-seconds, a translation of 20 km.
        {{"293.17", "726.18", "245.36", "648000", "0", "0", "0"},
         "value 4 (RX) 648000\u2033 lies outside -3600 to 3600\u2033"},
        {{"20000", "726.18", "245.36", "0", "0", "0", "0"},
         "value 1 (TX) 20000 m lies outside -10000 to 10000 m"},
    };
    for (const auto& c : cases) {
        messages_.shown.clear();
        TypeParameters(c.values);
        EXPECT_THROW(window_->ChosenDatumShift(), utm::ParameterError);
        Click("Command3");
        Click("Command2");
        ASSERT_EQ(messages_.shown.size(), 2u) << c.says;
        EXPECT_NE(messages_.shown[0].text.find(c.says), std::string::npos)
            << messages_.shown[0].text;
        EXPECT_NE(messages_.shown[0].text.find("Nothing was transferred."), std::string::npos);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ASSERT_FALSE(window_.isNull());
        EXPECT_EQ(folder_.Entries(), std::set<std::string>{"gps.csv"});
    }
    EXPECT_EQ(withinExcel, 0);
    TypeParameters({"293.17", "726.18", "245.36", "0", "0", "0", "0"});
    Click("Command2");
    EXPECT_EQ(withinExcel, 1);
    EXPECT_EQ(window_->ChosenDatumShift().parameters().ty, 726.18);
}

TEST_F(FrmMERIDEXTest, EscIsCancelAndTabSkipsTheEmptyToList) {
    QApplication::setActiveWindow(window_);
    Child<QComboBox>("Combo1")->setFocus();
    for (int i = 0; i < 16; ++i) {
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_NE(focus, Child<QComboBox>("Combo2"));
        EXPECT_NE(focus, Child<QComboBox>("Combo2")->lineEdit());
        QTest::keyClick(focus, Qt::Key_Tab);
    }
    QTest::keyClick(Child<QLineEdit>("Text6"), Qt::Key_Escape);
    ExpectClosedAndMainWindowBack();
    EXPECT_TRUE(messages_.shown.empty());
}

TEST_F(FrmMERIDEXTest, TheDatumShiftIsChosenOnlyForKindsBetweenWgs84AndEverest) {
    auto* kinds = Child<QComboBox>("Combo1");
    auto* shift = Child<QComboBox>("Combo3");
    shift->setCurrentIndex(2);  // the seven parameters show
    // Everest to Everest (0, 1, 4, 5) keeps its datum; 2, 3, 6, 7 cross.
    const bool crosses[] = {false, false, true, true, false, false, true, true};
    for (int kind = 0; kind < 8; ++kind) {
        SCOPED_TRACE(kind);
        kinds->setCurrentIndex(kind);
        EXPECT_EQ(shift->isEnabled(), crosses[kind]);
        EXPECT_EQ(Child<QLabel>("Label3")->isEnabled(), crosses[kind]);
        EXPECT_EQ(Child<QLineEdit>("Text7")->isEnabled(), crosses[kind]);
    }
}

TEST_F(FrmMERIDEXTest, EveryMnemonicIsUniqueInTheWindow) {
    QSet<QChar> letters;
    QStringList captions;
    for (auto* button : window_->findChildren<QAbstractButton*>()) captions << button->text();
    for (auto* label : window_->findChildren<QLabel*>()) captions << label->text();
    for (auto* group : window_->findChildren<QGroupBox*>()) captions << group->title();
    for (const QString& caption : captions) {
        const qsizetype at = caption.indexOf(QChar('&'));
        if (at < 0 || at + 1 >= caption.size()) continue;
        EXPECT_FALSE(letters.contains(caption.at(at + 1).toLower())) << caption.toStdString();
        letters.insert(caption.at(at + 1).toLower());
    }
}

}  // namespace
