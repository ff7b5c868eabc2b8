#pragma once

// The side windows' tests: a main window whose spectrum and air tables are
// the shipped ones (half-value layers are only worth checking on real
// coefficients), over the made-up tissue data that keeps each OK quick.

#include "app/QualityWindow.h"
#include "common/ShippedData.h"
#include "dose/SyntheticData.h"
#include "gui/GuiFixture.h"
#include "spectrum/BeamQuality.h"

#include <QAbstractButton>
#include <QLabel>
#include <QListWidget>

namespace veltrim::testing {

inline void UseShippedSpectrumData(const std::filesystem::path& folder) {
    for (const char* name :
         {TungstenFile, AluminiumFile, CopperFile, AirKermaFile, AirAttenuationFile})
        std::filesystem::copy_file(ShippedData / name, folder / name,
                                   std::filesystem::copy_options::overwrite_existing);
}

// For the dose and map windows: the shipped spectrum and air tables (the air
// kerma makes Ka,i), made-up tissue, kernels and surface kernels.
inline void UseDoseData(const std::filesystem::path& folder) {
    UseShippedSpectrumData(folder);
    WriteSyntheticSurfaceData(folder);
}

// For the dose window's finite phantoms and the examination window's
// patients: the exit ratios beside the dose data.
inline void UseSlabData(const std::filesystem::path& folder) {
    UseDoseData(folder);
    WriteSyntheticExitRatios(folder);
}

// The spectrum window's list of curves as it reads.
inline QStringList Curves(const QualityWindow& quality) {
    QStringList texts;
    const QListWidget& list = FindControl<QListWidget>(quality, qualitycontrols::CurveList);
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}

class QualityTest : public ActiveWindowOf<::testing::Test> {
  protected:
    explicit QualityTest(Language edition = Language::English)
        : ActiveWindowOf(edition, UseShippedSpectrumData) {}

    // F2 in the main window, as the user opens it.
    QualityWindow& Open() {
        PressKey(w, Qt::Key_F2);
        QualityWindow* quality = w.Quality();
        if (quality == nullptr)
            throw std::logic_error("F2 opened no spectrum window");
        return *quality;
    }

    // The library's figures of the main window's last spectrum, with no air.
    BeamQuality LibraryFigures() const {
        const AirTables air = ReadAirTables(f.dir.Path());
        return *AssessBeamQuality(w.State().Spectrum, w.State().Attenuation.MuAluminium, air, 0.0)
                    .Quality;
    }
};

// A test of a window beside the main window, which `Side` gives (null until
// opened), over a main window of each edition whose folder `data` fills (the
// dose data unless said otherwise); and the user's hands on the side
// window's controls.
template <typename Window, Window* (MainWindow::*Side)() const>
class SideWindowTest : public ActiveWindowOf<::testing::TestWithParam<Language>> {
  protected:
    explicit SideWindowTest(void (*data)(const std::filesystem::path&) = UseDoseData)
        : ActiveWindowOf(GetParam(), data) {}

    // The side window opened by its key, as the user opens it.
    Window& OpenBy(Qt::Key key) {
        PressKey(w, key);
        if ((w.*Side)() == nullptr)
            throw std::logic_error("its key opened no side window");
        return *(w.*Side)();
    }
    void Type(ControlName name, const char* text) {
        FindControl<QLineEdit>(*(w.*Side)(), name).setText(QString::fromUtf8(text));
    }
    void Click(ControlName name) { FindControl<QAbstractButton>(*(w.*Side)(), name).click(); }
    QString Field(ControlName name) const {
        return FindControl<QLineEdit>(*(w.*Side)(), name).text();
    }
    std::string Said() const {
        return FindControl<QLabel>(*(w.*Side)(), sidecontrols::MessageLine).text().toStdString();
    }
};

} // namespace veltrim::testing
