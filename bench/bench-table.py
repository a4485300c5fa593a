#!/usr/bin/env python3
"""Prints the one table of ./bench.sh from the benchmarks' JSON files and the
idle measurement's output, all in the folder given."""
import json
import pathlib
import re
import sys

UNIT_NS = {"ns": 1.0, "us": 1e3, "ms": 1e6, "s": 1e9}


def load(folder):
    found = {}
    for path in sorted(folder.glob("*.json")):
        try:
            data = json.loads(path.read_text())
        except (OSError, json.JSONDecodeError):
            continue
        for entry in data.get("benchmarks", []):
            if entry.get("run_type", "iteration") != "iteration" or entry.get("error_occurred"):
                continue
            # Fixed iterations and manual timing add suffixes to the name.
            found[re.sub(r"/(iterations:\d+|manual_time|real_time)", "", entry["name"])] = entry
    return found


# CPU time of the measuring thread: on a shared machine the wall time also
# counts the other programs. Process starts are timed on the wall clock.
def time_ns(entry):
    key = "real_time" if entry["name"].startswith("BM_ColdStart") else "cpu_time"
    return entry[key] * UNIT_NS[entry.get("time_unit", "ns")]


def shown_time(ns):
    for unit, scale in (("s", 1e9), ("ms", 1e6), ("µs", 1e3)):
        if ns >= scale:
            return f"{ns / scale:.3g} {unit}"
    return f"{ns:.3g} ns"


def main():
    folder = pathlib.Path(sys.argv[1])
    results = load(folder)
    rows = []

    def timed(label, name, peer=None, peer_label="", aim=""):
        ours = results.get(name)
        other = results.get(peer) if peer else None
        rows.append((
            label,
            shown_time(time_ns(ours)) if ours else "n/a",
            shown_time(time_ns(other)) if other else "",
            f"{time_ns(ours) / time_ns(other):.2f}" if ours and other else "",
            peer_label if other else "",
            aim,
        ))

    # Measures taken apart, added up (and taken away) as one piece of work does them.
    def summed(label, names, minus=(), aim=""):
        parts = [results.get(name) for name in names]
        taken = [results.get(name) for name in minus]
        shown = "n/a"
        if all(parts) and all(taken):
            shown = shown_time(sum(time_ns(p) for p in parts) - sum(time_ns(t) for t in taken))
        rows.append((label, shown, "", "", "", aim))

    def counted(label, name, counter, unit, peer=None, peer_label="", aim=""):
        ours = results.get(name, {}).get(counter)
        other = results.get(peer, {}).get(counter) if peer else None
        rows.append((
            label,
            f"{ours:.1f} {unit}" if ours is not None else "n/a",
            f"{other:.1f} {unit}" if other is not None else "",
            f"{ours / other:.2f}" if ours is not None and other else "",
            peer_label if other is not None else "",
            aim,
        ))

    astro_peer = "second astronomy implementation"
    timed("sun position", "BM_SunPosition", "BM_Peer_SunPosition", astro_peer)
    timed("sunrise and sunset", "BM_SunRiseSet", "BM_Peer_SunRiseSet", astro_peer)
    timed("eight next-phase times", "BM_NextPhase_AllEight")
    timed("current weather parse", "BM_ParseCurrent", "BM_Peer_ParseCurrent", "XML document load alone")
    timed("16-day forecast parse", "BM_ParseForecast16Days", "BM_Peer_ParseForecast16Days",
          "XML document load alone")
    timed("INI load, 200 keys", "BM_IniLoad200Keys", "BM_Peer_IniLoad200Keys", "Qt's INI settings")
    timed("INI save, 200 keys", "BM_IniSave200Keys", "BM_Peer_IniSave200Keys", "Qt's INI settings")
    timed("language load, 2,000 keys", "BM_LoadLanguageFile2000Keys")
    timed("16-row list repaint (1x)", "BM_FullRepaint16/100", aim="< 5 ms")
    timed("16-row list repaint (2x)", "BM_FullRepaint16/200", aim="< 5 ms")
    for density, arg in (("1x", "100"), ("2x", "200")):
        timed(f"opening a day's hours, UI work: 8 slots ({density})", f"BM_OpenHourlyView/{arg}/8", aim="<= 5 ms")
        timed(f"opening a day's hours, UI work: 24 hours ({density})", f"BM_OpenHourlyView/{arg}/24", aim="<= 5 ms")
    timed("refresh worker: moon table", "BM_BuildMoonTable")
    timed("refresh UI work: panel, rows", "BM_AfterDataArrived16Days")
    timed("refresh UI work: list takes 16 rows, first paint (1x)", "BM_SetRows16/100")
    timed("refresh UI work: list takes 16 rows, first paint (2x)", "BM_SetRows16/200")
    # The first paint holds a full repaint, which has its aim of its own above.
    for density in ("1x", "2x"):
        arg = "100" if density == "1x" else "200"
        summed(f"refresh UI work in all, repaint apart ({density})",
               ["BM_AfterDataArrived16Days", f"BM_SetRows16/{arg}"], [f"BM_FullRepaint16/{arg}"], aim="< 5 ms")
        summed(f"refresh UI work with its first paint ({density})",
               ["BM_AfterDataArrived16Days", f"BM_SetRows16/{arg}"])
    plain = "the same requests over plain HTTP"
    timed("refresh over HTTPS, transport (current, forecast, a picture)", "BM_RefreshHttpsTransport",
          "BM_RefreshHttpTransport", plain)
    timed("refresh over HTTPS, old transport: a handle and the bundle per request", "BM_RefreshHttpsOldTransport",
          "BM_RefreshHttpTransport", plain)
    timed("refresh over HTTPS through the client, parse included", "BM_RefreshHttpsClient",
          "BM_RefreshHttpTransport", plain, aim="<= 10 ms")
    timed("clock tick, shown (offscreen)", "BM_ClockTick", aim="<= 0.2 ms")
    floor = "bare Qt window with tray icon"
    counted("cold start to weather shown: CPU", "BM_ColdStartNimbrel", "ready_cpu_ms", "ms", "BM_ColdStartFloor", floor,
            "<= 40 ms")
    counted("cold start, the whole run to its quit: CPU", "BM_ColdStartNimbrel", "cpu_ms", "ms", "BM_ColdStartFloor",
            floor)
    counted("cold start: peak RSS", "BM_ColdStartNimbrel", "peak_rss_MiB", "MiB", "BM_ColdStartFloor", floor,
            "< 35 MB (33.4 MiB)")
    counted("after the first refresh: RSS", "BM_ColdStartNimbrel", "rss_MiB", "MiB", "BM_ColdStartFloor", floor)
    counted("after the first refresh: PSS", "BM_ColdStartNimbrel", "pss_MiB", "MiB", "BM_ColdStartFloor", floor)
    counted("after the first refresh: USS", "BM_ColdStartNimbrel", "uss_MiB", "MiB", "BM_ColdStartFloor", floor)
    timed("cold start: wall time", "BM_ColdStartNimbrel", "BM_ColdStartFloor", floor)

    idle = folder / "idle.txt"
    seconds = ""
    if idle.exists():
        text = idle.read_text()
        match = re.search(r"(\d+)s per state", text)
        seconds = f" over {match.group(1)} s" if match else ""
        tray = re.search(r"tray (yes|no)", text)
        if tray:
            seconds += ", with a tray" if tray.group(1) == "yes" else ", no tray"
        def figures(label):
            return re.search(rf"^{label}\s+cpu\s+(-?[\d.]+) %\s+runs\s+(-?[\d.]+)/s\s+voluntary switches\s+(-?[\d.]+)/s",
                             text, re.M)
        floor_line = figures("floor-shown")
        floor_is = "bare Qt window with a clock label"

        def idle_row(measure, ours, floor, unit, aim, digits=3):
            if ours is None:
                rows.append((measure, "n/a", "", "", "", aim))
                return
            peer = ratio = peer_is = ""
            if floor is not None:
                peer, peer_is = f"{floor:.{digits}f}{unit}", floor_is
                ratio = f"{ours / floor:.2f}" if floor > 0 else ""
            rows.append((measure, f"{ours:.{digits}f}{unit}", peer, ratio, peer_is, aim))

        for state in ("shown", "hidden"):
            line = figures(state)
            floor = floor_line if state == "shown" else None
            def value(match, group, scale=1.0):
                return float(match.group(group)) * scale if match else None
            idle_row(f"idle {state}{seconds}: CPU", value(line, 1), value(floor, 1), " %",
                     "<= 0.02 %" if state == "shown" else "")
            # Shown, the clock ticks once a second: a second's CPU is one tick's.
            if state == "shown":
                idle_row(f"idle {state}{seconds}: CPU per clock tick", value(line, 1, 10), value(floor, 1, 10),
                         " ms", "<= 0.2 ms")
            # A wake-up is a thread going to sleep and being woken; runs also count
            # the times a busy machine took the CPU away and gave it back.
            idle_row(f"idle {state}{seconds}: wake-ups (voluntary switches)", value(line, 3), value(floor, 3),
                     "/s", "<= 1/s" if state == "shown" else "", digits=2)
            idle_row(f"idle {state}{seconds}: thread runs", value(line, 2), value(floor, 2), "/s", "", digits=2)

    header = ("Measure", "Nimbrel", "Peer", "Ratio", "Peer is", "Aim")
    widths = [max(len(str(row[i])) for row in rows + [header]) for i in range(len(header))]
    def line(cells):
        return "| " + " | ".join(str(c).ljust(w) for c, w in zip(cells, widths)) + " |"
    print(line(header))
    print("|" + "|".join("-" * (w + 2) for w in widths) + "|")
    for row in rows:
        print(line(row))


if __name__ == "__main__":
    main()
