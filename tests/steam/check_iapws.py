"""The steam tables (core/steam) against Debian's python3-iapws over the engine's range.

Usage: /usr/bin/python3 check_iapws.py PATH_TO_if97_grid

States from iapws.IAPWS97 (p in MPa, T in K, h and u in kJ/kg, s in kJ/(kg K)) on a grid of
pressure 0.02 .. 2.5 MPa, superheat 0.1 .. 250 K and dryness 0.7 .. 1 are put to the program
as (p, T) or (p, x), (p, h), (p, s) and (v, u); each answer must give back the state.
"""
import subprocess
import sys

try:
    import iapws
except ImportError:
    sys.exit("python3-iapws is missing: `make` installs it (Debian package python3-iapws)")

TOLERANCE = 1e-9  # relative; x absolute


def grid():
    pressures = [0.02, 0.05, 0.1, 0.2, 0.4, 0.7, 1.0, 1.5, 2.0, 2.5]
    for p in pressures:
        ts = iapws.IAPWS97(P=p, x=1).T
        for superheat in [0.1, 1, 5, 20, 60, 120, 250]:
            yield ("PT", p * 1e6, ts + superheat), iapws.IAPWS97(P=p, T=ts + superheat)
        for x in [0.7, 0.8, 0.9, 0.97, 1.0]:
            yield ("PX", p * 1e6, x), iapws.IAPWS97(P=p, x=x)


def main():
    cases = list(grid())
    queries = []
    for (kind, a, b), st in cases:
        queries.append(f"{kind} {a!r} {b!r}")
        queries.append(f"PH {st.P * 1e6!r} {st.h * 1e3!r}")
        queries.append(f"PS {st.P * 1e6!r} {st.s * 1e3!r}")
        queries.append(f"VU {st.v!r} {st.u * 1e3!r}")
    run = subprocess.run([sys.argv[1]], input="\n".join(queries) + "\n", capture_output=True,
                         text=True, check=True)
    answers = run.stdout.split("\n")
    failures = 0
    worst = 0.0
    for i, query in enumerate(queries):
        (_, _, _), st = cases[i // 4]
        fields = answers[i].split()
        if fields[0] != "1":
            print(f"{query}: no valid state")
            failures += 1
            continue
        p, T, v, u, h, s, x = (float(f) for f in fields[1:8])
        want = {"p": st.P * 1e6, "T": st.T, "v": st.v, "u": st.u * 1e3, "h": st.h * 1e3,
                "s": st.s * 1e3}
        got = {"p": p, "T": T, "v": v, "u": u, "h": h, "s": s}
        for name, w in want.items():
            err = abs(got[name] - w) / abs(w)
            worst = max(worst, err)
            if err > TOLERANCE:
                print(f"{query}: {name} {got[name]!r}, iapws {w!r} (relative {err:.2e})")
                failures += 1
        wx = st.x if st.region == 4 else 1.0
        if abs(x - wx) > TOLERANCE:
            print(f"{query}: x {x!r}, iapws {wx!r}")
            failures += 1
    print(f"{len(queries)} queries, {failures} failures, worst relative difference {worst:.2e}")
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
