// Formatting of the valve-events table; every number goes through Str, so the locale never
// changes a decimal point.
#include "core/analysis/eventstable.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <string_view>

#include "core/analysis/eventsgrid.h"
#include "core/model/numfmt.h"

namespace tarn {

namespace {

std::string Angle(double v, int w = 0) { return Str(v, w, 3); }
std::string Pct(double v, int w = 0) { return Str(v, w, 2); }
std::string Len(double v, int w = 0) { return Str(v, w, 4); }

std::string Pad(const std::string& s, int w) {
    return static_cast<int>(s.size()) >= w
               ? s
               : std::string(static_cast<std::size_t>(w) - s.size(), ' ') + s;
}

// "Cut-off" for "cut-off".
std::string Capitalised(std::string_view s) {
    std::string c(s);
    if (!c.empty() && c[0] >= 'a' && c[0] <= 'z') c[0] = static_cast<char>(c[0] - 'a' + 'A');
    return c;
}

std::string GearLabel(const Model& design, float pos) {
    const auto g = GearAt(design, pos);
    return g ? std::string(GearName(*g)) : std::string();
}

std::string Status(const ValveEventsResult& r) {
    return r.ok() ? "ok" : "geometry error at crank angle " + Angle(r.errorAngle);
}

}  // namespace

std::vector<std::string> EventsHeader() {
    std::vector<std::string> h{"Rev arm pos [len]", "Gear", "Crank turns"};
    for (const char* end : {"Front", "Rear"}) {
        for (const PortEventInfo& p : kPortEvents) {
            h.push_back(std::string(end) + " " + std::string(p.name) + " [deg]");
            h.push_back(std::string(end) + " " + std::string(p.name) + " [%]");
        }
        h.push_back(std::string(end) + " lead [len]");
        h.push_back(std::string(end) + " max steam opening [len]");
        h.push_back(std::string(end) + " max exhaust opening [len]");
    }
    h.push_back("Cut-off front-rear [%]");
    h.push_back("Release front-rear [%]");
    h.push_back("Compression front-rear [%]");
    h.push_back("Status");
    // Added later, at the end, so that scripts reading the columns above keep working.
    for (const char* end : {"Front", "Rear"}) {
        h.push_back(std::string(end) + " admission from dead centre [deg]");
        for (const PortEventInfo& p : kPortEvents)
            h.push_back(std::string(end) + " " + std::string(p.name) + " mark [len]");
    }
    h.push_back("Lead front-rear [len]");
    return h;
}

std::vector<std::string> EventsRow(const Model& design, const ValveEventsResult& r) {
    std::vector<std::string> row{Str(r.revArmPos, 0, 3), GearLabel(design, r.revArmPos),
                                 r.reverse ? "Rev" : "Fwd"};
    for (const EndEvents* e : {&r.front, &r.rear}) {
        for (const PortEventInfo& p : kPortEvents) {
            const std::optional<ValveEvent>& ev = e->*p.event;
            row.push_back(ev ? Angle(ev->crankAngle) : "");
            row.push_back(ev ? Pct(ev->percent) : "");
        }
        row.push_back(r.ok() ? Len(e->lead) : "");
        row.push_back(r.ok() ? Len(e->maxSteamOpening) : "");
        row.push_back(r.ok() ? Len(e->maxExhaustOpening) : "");
    }
    for (const auto& d : {FrontMinusRear(r.front.cutoff, r.rear.cutoff),
                          FrontMinusRear(r.front.release, r.rear.release),
                          FrontMinusRear(r.front.compression, r.rear.compression)})
        row.push_back(d ? Pct(*d) : "");
    row.push_back(Status(r));
    for (const EndEvents* e : {&r.front, &r.rear}) {
        const bool front = e == &r.front;
        row.push_back(e->admission ? Angle(DegreesFromDeadCentre(r, *e->admission, front)) : "");
        for (const PortEventInfo& p : kPortEvents) {
            const std::optional<ValveEvent>& ev = e->*p.event;
            row.push_back(ev ? Len(ev->mark) : "");
        }
    }
    row.push_back(r.ok() ? Len(r.front.lead - r.rear.lead) : "");
    return row;
}

void WriteEventsDelimited(std::ostream& out, const Model& design,
                          std::span<const ValveEventsResult> rows, char separator) {
    auto line = [&](const std::vector<std::string>& cells) {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            if (i) out << separator;
            out << cells[i];
        }
        out << '\n';
    };
    line(EventsHeader());
    for (const auto& r : rows) line(EventsRow(design, r));
}

void WriteEventsText(std::ostream& out, const Model& design,
                     std::span<const ValveEventsResult> rows) {
    out << "Valve events of " << design.design.DesignName << " (mid gear at "
        << Str(design.motion.RevArmPositions[0], 0, 3) << ")\n";
    for (const auto& r : rows) {
        out << '\n' << "Rev arm " << Str(r.revArmPos, 0, 3);
        const std::string gear = GearLabel(design, r.revArmPos);
        if (!gear.empty()) out << " (" << gear << ")";
        out << ", crank turning " << (r.reverse ? "backward" : "forward") << '\n';
        if (!r.ok()) {
            out << "  " << Status(r) << '\n';
            continue;
        }
        out << "      ";
        for (const PortEventInfo& p : kPortEvents) out << Pad(Capitalised(p.name), 17) << ' ';
        out << Pad("Lead", 9) << Pad("Max steam", 11) << Pad("Max exhaust", 13) << '\n';
        out << "      ";
        for (std::size_t k = 0; k < kPortEvents.size(); ++k)
            out << Pad("deg", 10) << Pad("%", 7) << ' ';
        out << '\n';
        for (const EndEvents* e : {&r.front, &r.rear}) {
            out << (e == &r.front ? "Front " : "Rear  ");
            for (const PortEventInfo& p : kPortEvents) {
                const std::optional<ValveEvent>& ev = e->*p.event;
                out << (ev ? Angle(ev->crankAngle, 10) : Pad("-", 10));
                out << (ev ? Pct(ev->percent, 7) : Pad("-", 7));
                out << ' ';
            }
            out << Len(e->lead, 9) << Len(e->maxSteamOpening, 11) << Len(e->maxExhaustOpening, 13);
            if (e->steamOpenings > 1 || e->exhaustOpenings > 1)
                out << "  (port opens "
                    << Str(static_cast<long long>(std::max(e->steamOpenings, e->exhaustOpenings)),
                           0)
                    << " times)";
            out << '\n';
        }
        // Where the crosshead stands at each event: the fitter's marks on the slide bars.
        for (const EndEvents* e : {&r.front, &r.rear}) {
            const bool front = e == &r.front;
            out << (front ? "Marks front:" : "      rear: ");
            const char* sep = " ";
            for (const PortEventInfo& p : kPortEvents) {
                const std::optional<ValveEvent>& ev = e->*p.event;
                out << sep << p.name << ' ' << (ev ? Len(ev->mark) : "-");
                if (p.event == &EndEvents::admission && ev) {
                    const double d = DegreesFromDeadCentre(r, *ev, front);
                    out << " (" << Angle(std::fabs(d)) << " deg " << (d < 0 ? "before" : "after")
                        << " dead centre)";
                }
                sep = ", ";
            }
            out << '\n';
        }
        auto diff = [](const std::optional<double>& d) {
            return d ? Pct(*d) + " %" : std::string("-");
        };
        out << "Front - rear: cut-off " << diff(FrontMinusRear(r.front.cutoff, r.rear.cutoff))
            << ", release " << diff(FrontMinusRear(r.front.release, r.rear.release))
            << ", compression " << diff(FrontMinusRear(r.front.compression, r.rear.compression))
            << '\n';
    }
}

}  // namespace tarn
