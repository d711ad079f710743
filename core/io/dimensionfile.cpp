// Reading and writing the 70-record dimension file. One table of words (WalkWords) serves both
// directions, so the writer and the reader cannot drift apart; each word carries the check that
// loading applies to it.
#include "core/io/dimensionfile.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <vector>

#include "core/io/safefile.h"
#include "core/model/numfmt.h"

namespace tarn {

namespace {

// What loading demands of a word before the file is accepted.
enum class Check {
    None,         // raw words, and words that opening a design recomputes anyway
    Finite,       // any finite float
    ViewZoom,     // (0, 3000]: a zoom the view divides by
    Preset0Zoom,  // [0, 3000]: "P" starts out empty
    DiagramScale,
    GraphicZoom,
    PivotNumber,  // indexes the pivot tables: rounds into 0..26
};

// Visits the words of records 0..68 in file order. f(value, name, check) gets a reference to a
// f32 or u32 member of m (const for writing, mutable for reading).
template <class M, class F>
void WalkWords(M& m, F&& f) {
    auto& c = m.design.Cyl;
    auto& b = m.design.Frame;
    // Words the file keeps for values that follow from others: written as the design gives
    // them, and on reading taken into a scratch word and left there.
    auto derived = [&f](f32 value, const char* name) { f(value, name, Check::None); };
    // Record 0..3: the frame and linkage.
    f(m.design.StrokeLen, "StrokeLen", Check::Finite);
    f(m.design.DriverDia, "DriverDia", Check::Finite);
    f(b.MainRodCrankEnd, "MainRodCrankEnd", Check::Finite);
    f(b.MainRodPistonEnd, "MainRodPistonEnd", Check::Finite);
    f(b.RadiusRodLen, "RadiusRodLen", Check::Finite);
    f(b.ValveLeverUpperLen, "ValveLeverUpperLen", Check::Finite);
    f(b.ValveLeverLowerLen, "ValveLeverLowerLen", Check::Finite);
    f(b.CouplerUpper, "CouplerUpper", Check::Finite);
    f(b.CouplerLower, "CouplerLower", Check::Finite);
    f(b.AnchorLinkLen, "AnchorLinkLen", Check::Finite);
    f(b.ReverseArmLen, "ReverseArmLen", Check::Finite);
    f(m.design.LinkRadius, "LinkRadius", Check::Finite);
    f(m.design.LinkPivotHorz, "LinkPivotHorz", Check::Finite);
    f(m.design.LinkPivotVert, "LinkPivotVert", Check::Finite);
    f(m.design.AnchorLinkPivotHorz, "AnchorLinkPivotHorz", Check::Finite);
    f(m.design.AnchorLinkPivotVert, "AnchorLinkPivotVert", Check::Finite);
    // The pivots the reverse arm and the anchor link turn about, 6 and 13: the same two points.
    derived(m.design.LinkPivotHorz, "PivotX[6]");
    derived(m.design.LinkPivotVert, "PivotY[6]");
    derived(m.design.AnchorLinkPivotHorz, "PivotX[13]");
    derived(m.design.AnchorLinkPivotVert, "PivotY[13]");
    // Record 4..7: the cylinder height, then the cylinder record in its memory order.
    f(m.design.CylCLAboveDriver, "CylCLAboveDriver", Check::Finite);
    f(c.CylCtrToDriverCtr, "CylCtrToDriverCtr", Check::Finite);
    f(c.CylBoreDia, "CylBoreDia", Check::Finite);
    f(c.CylBoreLen, "CylBoreLen", Check::Finite);
    f(c.CylSpare, "CylSpare", Check::None);
    f(c.CylSteamPortWidth, "CylSteamPortWidth", Check::Finite);
    f(c.PistonRodLen, "PistonRodLen", Check::Finite);
    f(c.PistonWidth, "PistonWidth", Check::Finite);
    f(c.ValveBoreDia, "ValveBoreDia", Check::Finite);
    f(c.ValveBoreLen, "ValveBoreLen", Check::Finite);
    f(c.ValveBoreCtrToPort, "ValveBoreCtrToPort", Check::Finite);
    f(c.ValvePortWidthRear, "ValvePortWidthRear", Check::Finite);
    f(c.ValveCtrToInsideEdge, "ValveCtrToInsideEdge", Check::Finite);
    f(c.ValveEndWidthRear, "ValveEndWidthRear", Check::Finite);
    f(c.ValveCtrToJoint, "ValveCtrToJoint", Check::Finite);
    f(c.ValveCLToCylCL, "ValveCLToCylCL", Check::Finite);
    f(c.ValvePortWidthFront, "ValvePortWidthFront", Check::Finite);
    f(c.ValveEndWidthFront, "ValveEndWidthFront", Check::Finite);
    // Record 7 words 3, 4 and record 8 words 0..2: spare words kept as they came.
    static constexpr const char* kSpareNames[5] = {"FileSpare1", "FileSpare2", "FileSpare3",
                                                   "FileSpare4", "FileSpare5"};
    for (int i = 0; i < 5; ++i)
        f(m.design.FileSpare[static_cast<std::size_t>(i)], kSpareNames[i], Check::None);
    f(m.design.ValveLeverUpperOffset, "ValveLeverUpperOffset", Check::Finite);
    derived(ValveCLAboveDriver(m.design), "PivotY[4]");  // the valve stem's height
    // Record 9, 10: the view, the gear limits, the diagram settings.
    f(m.view.Zoom, "Zoom", Check::ViewZoom);
    f(m.view.OffsetX, "OffsetX", Check::Finite);
    f(m.closeup.GraphicZoomFactor, "GraphicZoomFactor", Check::GraphicZoom);
    f(m.view.OffsetY, "OffsetY", Check::Finite);
    f(m.design.RevArmToCentNorm, "RevArmToCentNorm", Check::Finite);
    f(m.design.RevArmToCentMax, "RevArmToCentMax", Check::Finite);
    f(m.motion.RevArmPos, "RevArmPos", Check::None);  // opening puts the arm at mid gear
    // PlotRevArmPos is stored twice; the later word wins.
    f(m.design.PlotRevArmPos, "PlotRevArmPos", Check::None);
    f(m.design.PlotRevArmPos, "PlotRevArmPos", Check::Finite);
    f(m.diagrams.DiagramScale, "DiagramScale", Check::DiagramScale);
    // Record 11..15 word 0: the seven view presets (zoom, offset x, offset y).
    static constexpr const char* kPresetNames[21] = {
        "ViewPresets[0]",  "ViewPresets[1]",  "ViewPresets[2]",  "ViewPresets[3]",
        "ViewPresets[4]",  "ViewPresets[5]",  "ViewPresets[6]",  "ViewPresets[7]",
        "ViewPresets[8]",  "ViewPresets[9]",  "ViewPresets[10]", "ViewPresets[11]",
        "ViewPresets[12]", "ViewPresets[13]", "ViewPresets[14]", "ViewPresets[15]",
        "ViewPresets[16]", "ViewPresets[17]", "ViewPresets[18]", "ViewPresets[19]",
        "ViewPresets[20]"};
    for (int i = 0; i < 21; ++i) {
        const Check check = (i == 0)       ? Check::Preset0Zoom
                            : (i % 3 == 0) ? Check::ViewZoom
                                           : Check::Finite;
        f(m.view.ViewPresets[static_cast<std::size_t>(i)], kPresetNames[i], check);
    }
    // Record 15 words 1..4, record 16: reverse-arm positions 1..9 (0 is recomputed). Opening
    // recomputes 1..3 with the mid-gear position.
    static constexpr const char* kArmNames[10] = {
        "RevArmPositions[0]", "RevArmPositions[1]", "RevArmPositions[2]", "RevArmPositions[3]",
        "RevArmPositions[4]", "RevArmPositions[5]", "RevArmPositions[6]", "RevArmPositions[7]",
        "RevArmPositions[8]", "RevArmPositions[9]"};
    for (int i = 1; i <= 9; ++i)
        f(m.motion.RevArmPositions[static_cast<std::size_t>(i)], kArmNames[i],
          i <= 3 ? Check::None : Check::Finite);
    // Record 17..68: the overlay, 13 arrays of rows 1..20. LineType, LineColor and LineRef keep
    // row k at index k-1, the other arrays at index k.
    struct Column {
        const char* name;
        int base;  // index of row 1
        Check check;
    };
    auto rows = [&](auto& array, const Column& col) {
        for (int k = 1; k <= kOverlayRows; ++k) {
            const auto at = static_cast<std::size_t>(k) - 1 + static_cast<std::size_t>(col.base);
            f(array[at], col.name, col.check);
        }
    };
    rows(m.overlay.LineH1, {"LineH1", 1, Check::Finite});
    rows(m.overlay.LineV1, {"LineV1", 1, Check::Finite});
    rows(m.overlay.LineH2, {"LineH2", 1, Check::Finite});
    rows(m.overlay.LineV2, {"LineV2", 1, Check::Finite});
    rows(m.overlay.LinePiv1X, {"LinePiv1X", 1, Check::Finite});
    rows(m.overlay.LinePiv1Y, {"LinePiv1Y", 1, Check::Finite});
    rows(m.overlay.LinePiv2X, {"LinePiv2X", 1, Check::Finite});
    rows(m.overlay.LinePiv2Y, {"LinePiv2Y", 1, Check::Finite});
    rows(m.overlay.LineType, {"LineType", 0, Check::Finite});
    rows(m.overlay.LineColor, {"LineColor", 0, Check::Finite});
    rows(m.overlay.LineRef, {"LineRef", 0, Check::Finite});
    rows(m.overlay.LinePivot1, {"LinePivot1", 1, Check::PivotNumber});
    rows(m.overlay.LinePivot2, {"LinePivot2", 1, Check::PivotNumber});
}

constexpr int kLineIndexWord = kDimRecordCount * kDimWordsPerRecord - 1;  // record 69, word 4

void PutWord(DimFileImage& img, int word, u32 v) {
    const std::size_t at = static_cast<std::size_t>(word) * 4;
    for (int i = 0; i < 4; ++i)
        img[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(v >> (8 * i));
}

u32 GetWord(std::span<const std::uint8_t> img, int word) {
    const std::size_t at = static_cast<std::size_t>(word) * 4;
    u32 v = 0;
    for (int i = 0; i < 4; ++i)
        v |= static_cast<u32>(img[at + static_cast<std::size_t>(i)]) << (8 * i);
    return v;
}

std::string ShortNumber(float v) {
    char buf[32];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    return std::string(buf, res.ptr);
}

// "" when v passes the check, else what is wrong with it.
std::string Judge(float v, Check check) {
    if (check == Check::None) return "";
    if (!std::isfinite(v)) return "is not a finite number (" + ShortNumber(v) + ")";
    auto outside = [&](const char* range) {
        return "holds " + ShortNumber(v) + ", outside " + range;
    };
    switch (check) {
        case Check::None:
        case Check::Finite: return "";
        case Check::ViewZoom:
            return (v > 0 && v <= 3000) ? "" : outside("the zoom range above 0 up to 3000");
        case Check::Preset0Zoom:
            return (v >= 0 && v <= 3000) ? "" : outside("the zoom range 0..3000");
        case Check::DiagramScale: return (v >= 0.1f && v <= 1000) ? "" : outside("0.1..1000");
        case Check::GraphicZoom: return (v >= 0.5f && v <= 2000) ? "" : outside("0.5..2000");
        case Check::PivotNumber: {
            const i32 p = Round(v);
            return (p >= 0 && p < kPivotCount) ? "" : outside("the pivot numbers 0..26");
        }
    }
    return "";
}

}  // namespace

std::string DesignNameFromPath(std::string_view path) {
    const std::size_t sep = path.find_last_of("/\\");
    std::string_view base = (sep == std::string_view::npos) ? path : path.substr(sep + 1);
    const std::size_t dot = base.rfind('.');
    // A leading dot starts a name, not an extension.
    if (dot != std::string_view::npos && dot > 0) base = base.substr(0, dot);
    return std::string(base);
}

DimFileImage EncodeDimensionFile(const Model& m) {
    DimFileImage img{};
    int w = 0;
    WalkWords(m, [&](const auto& value, const char*, Check) {
        PutWord(img, w++, std::bit_cast<u32>(value));
    });
    // Record 69: four zero words, then LineIndex as a float.
    for (; w < kLineIndexWord; ++w) PutWord(img, w, 0);
    PutWord(img, kLineIndexWord, std::bit_cast<u32>(static_cast<f32>(m.overlay.LineIndex)));
    return img;
}

std::string DecodeDimensionFile(std::span<const std::uint8_t> image, std::string_view what,
                                Model& m) {
    if (image.size() < static_cast<std::size_t>(kDimFileBytes)) {
        return std::string(what) + " is not a dimension file: it holds " +
               std::to_string(image.size()) + " bytes, " + std::to_string(kDimFileBytes) +
               " are needed";
    }
    // Everything goes into a copy first; the live model changes only once all words passed.
    Model next = m;
    std::string error;
    int w = 0;
    WalkWords(next, [&](auto& value, const char* name, Check check) {
        const int word = w++;
        const u32 bits = GetWord(image, word);
        value = std::bit_cast<std::remove_reference_t<decltype(value)>>(bits);
        if constexpr (std::is_same_v<std::remove_reference_t<decltype(value)>, f32>) {
            if (!error.empty()) return;
            const std::string why = Judge(value, check);
            if (!why.empty()) {
                error = std::string(what) + " was not opened: record " +
                        std::to_string(word / kDimWordsPerRecord) + ", word " +
                        std::to_string(word % kDimWordsPerRecord) + " (" + name + ") " + why;
            }
        }
    });
    if (!error.empty()) return error;

    // Gear limits are offsets from mid gear: never negative, the normal setting within the
    // largest.
    next.design.RevArmToCentNorm = std::max(next.design.RevArmToCentNorm, 0.0f);
    next.design.RevArmToCentMax = std::max(next.design.RevArmToCentMax, 0.0f);
    next.design.RevArmToCentNorm =
        std::min(next.design.RevArmToCentNorm, next.design.RevArmToCentMax);
    // LineIndex names the current overlay row, 1..20, whatever the file holds.
    const f32 index = std::bit_cast<f32>(GetWord(image, kLineIndexWord));
    next.overlay.LineIndex = std::clamp<i32>(Round(index), 1, kOverlayRows);
    // The stored arm position does not survive: the arm goes to mid gear.
    CentreRevArm(next);
    m = std::move(next);
    return "";
}

FileResult SaveDimensionFile(Model& m, const std::string& path) {
    const DimFileImage img = EncodeDimensionFile(m);
    const std::string why = WriteFileSafely(path, img);
    if (!why.empty()) return {false, "Cannot save " + path + ": " + why};
    m.design.DesignName = DesignNameFromPath(path);
    return {true, ""};
}

FileResult LoadDimensionFile(Model& m, const std::string& path) {
    // Only the first 1400 bytes count; a shorter file is refused with its size. A pipe or a
    // device is refused at once instead of waiting for data that may never come.
    std::vector<std::uint8_t> bytes;
    const std::string why = ReadRegularFile(path, bytes, kDimFileBytes);
    if (!why.empty()) return {false, "Cannot open " + path + ": " + why};
    std::string error = DecodeDimensionFile(bytes, path, m);
    if (!error.empty()) return {false, error};
    m.design.DesignName = DesignNameFromPath(path);
    return {true, ""};
}

}  // namespace tarn
