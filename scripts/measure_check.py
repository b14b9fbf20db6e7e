#!/usr/bin/env python3
"""Measures mirelon-check on the RNAs of the shared data that have shift lists.

usage: scripts/measure_check.py [--held-out] [MIRELON_CHECK [SHARED_DATA]]

The RNAs are joined as scripts/build_statfile.sh joins them: every PDB id of
the mcsf dot-bracket list (first line of an id) with a cs2structure shift
list, the corrected list where there is one. For each RNA, with the shipped
table at level 8:

  carbon   every 13C value raised by 2.5 ppm: the 13C offset reported, and
           whether it was applied (RNAs with at least 20 carbon shifts
           compared); the same from the list first brought onto the table's
           reference (its own 13C median removed);
  swap     the H1' values of two residues that differ by more than 0.4 ppm
           exchanged (one pair drawn at random, seeded by the PDB id): whether
           the report names that pair among its swap candidates, and whether
           the summary's first eight do; over ten pairs drawn per RNA, the
           expected share of RNAs in which the exchange is named;
  ranking  the structure against a version without its longest helix and one
           with that helix's 3' strand slipped by one nucleotide: whether the
           true structure ranks first.
  other    errors beyond the targets, one drawn per RNA (seeded by the PDB
           id): every 1H value raised by 0.3 ppm (offset applied and found
           within 0.1 ppm of 0.3 plus the list's own); one H1', H2', H6 or H8
           raised by 1 ppm and one C1', C6 or C8 by 5 ppm (flagged as an
           outlier; drawn among atoms that were no outliers); the H8 values of
           two residues that differ by more than 0.3 ppm exchanged (named).

With --held-out, each RNA is checked with a table that has not seen it:
scripts/build_statfile.sh (table only, with the mirelon-stats beside
MIRELON_CHECK) on the list less every id of the same sequence, shifts and
structure-only alike, as the table's own leave-one-RNA-out evaluation holds
RNAs out. This is the measure for RNAs the shipped table has
not seen; it takes a few minutes.

Prints one line per RNA and the totals as Markdown.
"""
import os
import random
import re
import subprocess
import sys
import tempfile

project = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
held_out = "--held-out" in sys.argv[1:]
arguments = [a for a in sys.argv[1:] if a != "--held-out"]
check = os.path.abspath(arguments[0] if arguments else os.path.join(project, "build", "mirelon-check"))
shared = arguments[1] if len(arguments) > 1 else os.path.join(project, "..", "shared", "data")
stats = os.path.join(os.path.dirname(check), "mirelon-stats")
shifts_dir = os.path.join(shared, "shifts")
structure_list = os.path.join(shifts_dir, "mcsf", "structures_wo_dash_210419.txt")
# Residue numbers of the shift lists that differ from the dot-bracket
# positions by a constant, as scripts/build_statfile.sh has them.
OFFSETS = {"2M58": 1, "2MXJ": -15}
# H1' pairs drawn per RNA for the expected rate of named swaps.
SWAP_DRAWS = 10


def pairs_of(structure):
    stack, pairs = {}, {}
    opening = {"(": ")", "[": "]", "{": "}", "<": ">"}
    closing = {v: k for k, v in opening.items()}
    for i, c in enumerate(structure):
        if c in opening:
            stack.setdefault(c, []).append(i)
        elif c in closing:
            j = stack[closing[c]].pop()
            pairs[j] = i
    return pairs


def helices(pairs):
    """Stacks of consecutive pairs (i, j), (i+1, j-1), ... as lists of pairs."""
    found = []
    for i in sorted(pairs):
        j = pairs[i]
        if i - 1 in pairs and pairs[i - 1] == j + 1:
            continue
        helix = [(i, j)]
        while helix[-1][0] + 1 in pairs and pairs[helix[-1][0] + 1] == helix[-1][1] - 1:
            helix.append((helix[-1][0] + 1, helix[-1][1] - 1))
        found.append(helix)
    return found


def dot_bracket(length, pairs):
    out = ["."] * length
    for i, j in pairs.items():
        out[i], out[j] = "(", ")"
    return "".join(out)


def variants(sequence, structure):
    pairs = pairs_of(structure)
    stems = helices(pairs)
    if not stems:
        return None
    longest = max(stems, key=len)
    removed = {i: j for i, j in pairs.items() if (i, j) not in longest}
    # Slip the 3' strand by one nucleotide towards the 3' end, where the
    # partner stays free and the pair does not cross the loop; else the
    # other way.
    for step in (1, -1):
        slipped = dict(removed)
        taken = set(slipped) | set(slipped.values())
        ok = True
        for i, j in longest:
            k = j + step
            if k <= i + 3 or k >= len(sequence) or k in taken:
                ok = False
                break
            slipped[i] = k
            taken |= {i, k}
        if ok:
            return dot_bracket(len(sequence), removed), dot_bracket(len(sequence), slipped)
    return dot_bracket(len(sequence), removed), None


def run(args, cwd):
    return subprocess.run([check] + args, cwd=cwd, capture_output=True, text=True)


def read_shifts(path):
    rows = []
    with open(path) as f:
        for line in f:
            words = line.split()
            if len(words) >= 4 and not line.startswith("#"):
                rows.append(words)
    return rows


def write_shifts(path, rows):
    with open(path, "w") as f:
        for words in rows:
            f.write(" ".join(words) + "\n")


def shifted(rows, element, by):
    """`rows` with every value of the atoms of `element` ("H", "C") raised by `by` ppm."""
    return [r[:3] + ["%.3f" % (float(r[3]) + by)] if r[2].startswith(element) else r
            for r in rows]


def values_of(rows, atom):
    """Residue number -> the first value of `atom`, in the order of the list."""
    values = {}
    for r in rows:
        if r[2] == atom:
            values.setdefault(int(r[1]), float(r[3]))
    return values


def exchanged(rows, atom, pair, values):
    """`rows` with the values of `atom` of the two residues of `pair` exchanged."""
    return [r[:3] + ["%.3f" % values[pair[1] if int(r[1]) == pair[0] else pair[0]]]
            if r[2] == atom and int(r[1]) in pair else r for r in rows]


def reported_offset(summary, nucleus):
    """The referencing offset the summary reports for `nucleus`, and whether it was removed."""
    m = re.search(r"%s ([+-]\d+\.\d+) ppm \[[^]]*\] \(\d+ atoms\)(: off by)?" % nucleus, summary)
    return (float(m.group(1)) if m else None), bool(m and m.group(2))


def named_in_report(html, atom, positions):
    """Whether the report's list of swap candidates has `atom` of the two `positions`."""
    escaped = atom.replace("'", "&apos;").replace('"', "&quot;")
    names = re.findall(r"<td>[ACGU](\d+) %s</td><td>[ACGU](\d+) %s</td>" % (escaped, escaped), html)
    return any(sorted(int(x) for x in n) == sorted(positions) for n in names)


def list_entries():
    """(id, upper-case sequence, structure, shift list or None), first line of each id."""
    entries, seen = [], set()
    with open(structure_list) as f:
        for line in f:
            words = line.split()
            if len(words) < 3 or words[0] in seen:
                continue
            seen.add(words[0])
            shift_list = os.path.join(shifts_dir, "cs2structure", "corrected_chemical_shifts",
                                      "measured_shifts_%s.dat" % words[0])
            if not os.path.exists(shift_list):
                shift_list = shift_list.replace("corrected_chemical_shifts", "raw_chemical_shifts")
            entries.append((words[0], words[1].upper(), words[2],
                            shift_list if os.path.exists(shift_list) else None))
    return entries


def held_out_table(sequence, folder):
    """The shipped table's build (scripts/build_statfile.sh, table only) from a
    structure list without the ids whose first line has `sequence`."""
    os.makedirs(folder, exist_ok=True)
    kept, first = [], {}
    with open(structure_list) as f:
        for line in f:
            words = line.split() + ["", ""]
            if first.setdefault(words[0], words[1].upper()) != sequence:
                kept.append(line)
    filtered = os.path.join(folder, "structures.txt")
    with open(filtered, "w") as out:
        out.writelines(kept)
    built = subprocess.run([os.path.join(project, "scripts", "build_statfile.sh"), stats, shared,
                            folder], env=dict(os.environ, EVALUATION="0", STRUCTURE_LIST=filtered),
                           capture_output=True, text=True)
    if built.returncode != 0:
        sys.exit("build_statfile.sh failed without %s: %s" % (sequence, built.stderr.strip()))
    return os.path.join(folder, "data", "statfile.tab")


def other_errors(rows, offset, table, work, draw, proton_before):
    """The errors beyond the targets (see the module's text): name -> found."""
    found = {}

    def check(changed):
        write_shifts(os.path.join(work, "other.txt"), changed)
        out = run(["-s", "true.db", "-O", offset, "-o", "other", "other.txt"] + table, work)
        with open(os.path.join(work, "other.tsv")) as tsv:
            lines = [line.split("\t") for line in tsv.read().splitlines()[1:]]
        with open(os.path.join(work, "other.html")) as html:
            return out.stdout, lines, html.read()

    def position(row):
        return str(int(row[1]) + int(offset))

    if proton_before is not None:
        value, applied = reported_offset(check(shifted(rows, "H", 0.3))[0], "1H")
        found["proton_offset"] = applied and abs(value - proton_before - 0.3) <= 0.1
    with open(os.path.join(work, "base.tsv")) as tsv:
        fitting = {(t[0], t[2]) for t in (line.split("\t") for line in tsv.read().splitlines()[1:])
                   if "outlier" not in t[7]}
    for name, atoms, by in (("proton_outlier", ("H1'", "H2'", "H6", "H8"), 1.0),
                            ("carbon_outlier", ("C1'", "C6", "C8"), 5.0)):
        chosen = [i for i, r in enumerate(rows) if r[2] in atoms and (position(r), r[2]) in fitting]
        if not chosen:
            continue
        i = draw.choice(chosen)
        changed = list(rows)
        changed[i] = rows[i][:3] + ["%.3f" % (float(rows[i][3]) + by)]
        _, lines, _ = check(changed)
        found[name] = any(t[0] == position(rows[i]) and t[2] == rows[i][2] and "outlier" in t[7]
                          for t in lines)
    h8 = values_of(rows, "H8")
    pairs = [(a, b) for a in h8 for b in h8 if a < b and abs(h8[a] - h8[b]) > 0.3]
    if pairs:
        pair = draw.choice(pairs)
        html = check(exchanged(rows, "H8", pair, h8))[2]
        found["h8_swap"] = named_in_report(html, "H8", [p + int(offset) for p in pair])
    return found


def main():
    results = []
    entries = list_entries()
    for pdb, sequence, structure, shift_list in entries:
        if shift_list is None:
            continue
        offset = str(OFFSETS.get(pdb, 0))
        rows = read_shifts(shift_list)
        with tempfile.TemporaryDirectory() as work:
            with open(os.path.join(work, "true.db"), "w") as out:
                out.write(">%s\n%s\n%s\n" % (pdb, sequence, structure))
            result = {"pdb": pdb, "length": len(sequence)}
            table = ["-f", held_out_table(sequence, os.path.join(work, "table"))] \
                if held_out else []
            base = run(["-s", "true.db", "-O", offset, "-o", "base", shift_list] + table, work)
            if base.returncode != 0:
                result["error"] = base.stderr.strip()
                results.append(result)
                continue
            m = re.search(r"13C ([+-]\d+\.\d+) ppm \[([+-]\d+\.\d+), ([+-]\d+\.\d+)\] "
                          r"\((\d+) atoms\)", base.stdout)
            result["carbon_before"] = float(m.group(1)) if m else None
            result["carbon_width"] = (float(m.group(3)) - float(m.group(2))) / 2 if m else None
            result["carbons"] = int(m.group(4)) if m else 0
            m = re.search(r"1H ([+-]\d+\.\d+) ppm", base.stdout)
            result["proton_before"] = float(m.group(1)) if m else None

            def raised(by):
                """Runs the check with every 13C value raised by `by` ppm."""
                name = "carbon%+.3f.txt" % by
                write_shifts(os.path.join(work, name), shifted(rows, "C", by))
                out = run(["-s", "true.db", "-O", offset, "-o", "carbon", name] + table, work)
                return reported_offset(out.stdout, "13C")

            result["carbon_found"], result["carbon_applied"] = raised(2.5)
            if result["carbon_before"] is not None:
                result["clean_found"], result["clean_applied"] = raised(
                    2.5 - result["carbon_before"])
            # Two H1' exchanged.
            h1 = values_of(rows, "H1'")
            numbers = sorted(h1)
            candidates = [(a, b) for a in numbers for b in numbers
                          if b > a and abs(h1[a] - h1[b]) > 0.4]
            # The first pair drawn is the RNA's test; SWAP_DRAWS pairs in all
            # (the first included, drawn with replacement, the same on every
            # run) give each RNA's rate, whose mean over the RNAs is the
            # expected share named with less chance in it than one draw.
            draw = random.Random(pdb)
            for turn in range(SWAP_DRAWS if candidates else 0):
                pair = draw.choice(candidates)
                write_shifts(os.path.join(work, "swap.txt"), exchanged(rows, "H1'", pair, h1))
                out = run(["-s", "true.db", "-O", offset, "-o", "swap", "swap.txt"] + table, work)
                positions = sorted(p + int(offset) for p in pair)
                names = re.findall(r"[ACGU](\d+) H1' <-> [ACGU](\d+) H1'", out.stdout)
                in_summary = any(sorted(int(x) for x in n) == positions for n in names)
                with open(os.path.join(work, "swap.html")) as html:
                    found = named_in_report(html.read(), "H1'", positions)
                if turn == 0:
                    result["swap_found"], result["swap_summary"] = found, in_summary
                result["swap_rate"] = result.get("swap_rate", 0) + found / SWAP_DRAWS
            # Ranking against a helix removed and a helix slipped.
            made = variants(sequence, structure)
            if made:
                files = ["-s", "true.db"]
                for name, text in zip(("removed.db", "slipped.db"), made):
                    if text is None:
                        continue
                    with open(os.path.join(work, name), "w") as out_file:
                        out_file.write(">%s\n%s\n%s\n" % (name, sequence, text))
                    files += ["-s", name]
                out = run(files + ["-O", offset, "-o", "rank", shift_list] + table, work)
                m = re.search(r"\n  1 +\S+ +\S+  (\S+)", out.stdout)
                result["ranked_first"] = m.group(1) if m else None
                result["narrow_lead"] = "log-likelihood units only" in out.stderr
                result["variants"] = len(files) // 2 - 1
            result.update(other_errors(rows, offset, table, work, random.Random(pdb + " other"),
                                       result["proton_before"]))
            results.append(result)

    print("| RNA | nt | 13C atoms | 13C offset before | found after +2.5 | applied | H1' swap named | ranked first |")
    print("|---|---|---|---|---|---|---|---|")
    swap_text = {None: "-", (True, True): "yes", (True, False): "report only", (False, False): "no"}
    for r in results:
        if "error" in r:
            print("| %s | %d | error: %s | | | | | |" % (r["pdb"], r["length"], r["error"]))
            continue
        print("| %s | %d | %d | %s | %s | %s | %s | %s |" % (
            r["pdb"], r["length"], r["carbons"],
            "%+.2f" % r["carbon_before"] if r["carbon_before"] is not None else "-",
            "%+.2f" % r["carbon_found"] if r["carbon_found"] is not None else "-",
            "yes" if r["carbon_applied"] else "no",
            swap_text[(r["swap_found"], r["swap_summary"]) if "swap_found" in r else None],
            r.get("ranked_first") or "-"))
    carbon = [r for r in results if "error" not in r and r["carbons"] >= 20]
    within = [r for r in carbon if r["carbon_found"] is not None and r["carbon_applied"]
              and abs(r["carbon_found"] - 2.5) <= 0.3]
    relative = [r for r in carbon if r["carbon_found"] is not None and r["carbon_applied"]
                and r["carbon_before"] is not None
                and abs(r["carbon_found"] - r["carbon_before"] - 2.5) <= 0.3]
    reported = [r for r in carbon if r["carbon_found"] is not None
                and r["carbon_before"] is not None
                and abs(r["carbon_found"] - r["carbon_before"] - 2.5) <= 0.3]
    clean = [r for r in carbon if r.get("clean_found") is not None and r["clean_applied"]
             and abs(r["clean_found"] - 2.5) <= 0.3]
    widths = sorted(r["carbon_width"] for r in carbon)
    swaps = [r for r in results if r.get("swap_found") is not None]
    named = [r for r in swaps if r["swap_found"]]
    in_summary = [r for r in swaps if r["swap_summary"]]
    ranked = [r for r in results if r.get("ranked_first")]
    first = [r for r in ranked if r["ranked_first"] == "true.db"]
    print()
    print("RNAs: %d (%d with errors)" % (len(results), sum(1 for r in results if "error" in r)))
    print("13C +2.5 ppm found and removed within 0.3 ppm of 2.5: %d of %d RNAs with >= 20 carbon shifts"
          % (len(within), len(carbon)))
    print("  within 0.3 ppm of 2.5 plus the list's own offset: %d of %d" % (len(relative), len(carbon)))
    print("  reported (removed or not) within 0.3 ppm of 2.5 plus the list's own offset: %d of %d"
          % (len(reported), len(carbon)))
    print("  from the list on the table's reference (own 13C median removed first): %d of %d"
          % (len(clean), len(carbon)))
    if widths:
        print("  half width of the 95 %% interval of the 13C median: median %.2f, largest %.2f ppm"
              % (widths[len(widths) // 2], widths[-1]))
    print("H1' exchange named as a swap: %d of %d RNAs (in the summary's first eight: %d)"
          % (len(named), len(swaps), len(in_summary)))
    if swaps:
        print("  expected share over %d pairs drawn per RNA: %.1f %%"
              % (SWAP_DRAWS, 100 * sum(r["swap_rate"] for r in swaps) / len(swaps)))
    print("True structure ranked first: %d of %d RNAs" % (len(first), len(ranked)))
    print("  with a note that the lead is narrow: %d of those %d; %d of the %d others"
          % (sum(1 for r in first if r["narrow_lead"]), len(first),
             sum(1 for r in ranked if r not in first and r["narrow_lead"]),
             len(ranked) - len(first)))
    for key, text in (("proton_offset", "1H +0.3 ppm found and removed within 0.1 ppm"),
                      ("proton_outlier", "one 1H raised by 1 ppm flagged as an outlier"),
                      ("carbon_outlier", "one 13C raised by 5 ppm flagged as an outlier"),
                      ("h8_swap", "H8 of two residues (more than 0.3 ppm apart) exchanged: named")):
        tried = [r for r in results if key in r]
        print("%s: %d of %d RNAs" % (text, sum(1 for r in tried if r[key]), len(tried)))


if __name__ == "__main__":
    main()
