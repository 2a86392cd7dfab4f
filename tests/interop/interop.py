"""KRU's outputs read back by Open Babel, ASE and RDKit: the same atoms and coordinates to the
printed precision, the CONECT bonds of a PDB file, the frames of the trajectories, the charge and
multiplicity of a Gaussian input, and the bonds, formula and energies of an SD file."""
import os
import shutil
import subprocess
import sys
import tempfile
import warnings

KRU = os.path.abspath(sys.argv[1])
HERE = os.path.dirname(os.path.abspath(__file__))
REALDATA = os.path.normpath(os.environ.get(
    "KRU_REALDATA", os.path.join(HERE, "..", "..", "..", "shared", "realdata")))
EV_PER_HARTREE = 27.211386024367243
failures = []
checks = 0


def check(ok, what):
    global checks
    checks += 1
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def kru(work, intype, infile, outtype, outfile, extra=""):
    control = f"IN  {intype:<6} {infile}\nOUT {outtype:<6} {outfile}\n{extra}"
    run = subprocess.run([KRU], input=control, capture_output=True, text=True, cwd=work)
    check(run.returncode == 0, f"kru {intype} -> {outtype}")
    return os.path.join(work, outfile)


def obabel(fmt, path, outfmt="xyz"):
    run = subprocess.run(["obabel", f"-i{fmt}", path, f"-o{outfmt}"], capture_output=True,
                         text=True)
    return run.stdout


def xyzframes(text):
    """Frames of an XYZ text as lists of (symbol, x, y, z)."""
    lines = text.splitlines()
    frames, i = [], 0
    while i < len(lines) and lines[i].strip():
        n = int(lines[i])
        atoms = []
        for line in lines[i + 2:i + 2 + n]:
            f = line.split()
            atoms.append((f[0], float(f[1]), float(f[2]), float(f[3])))
        frames.append(atoms)
        i += 2 + n
    return frames


def same(a, b, tol):
    return len(a) == len(b) and all(
        p[0].capitalize() == q[0].capitalize() and all(abs(x - y) <= tol for x, y in zip(p[1:], q[1:]))
        for p, q in zip(a, b))


def sdfbonds(text):
    lines = text.splitlines()
    natoms, nbonds = int(lines[3][0:3]), int(lines[3][3:6])
    bonds = set()
    for line in lines[4 + natoms:4 + natoms + nbonds]:
        a, b = int(line[0:3]), int(line[3:6])
        bonds.add((min(a, b), max(a, b)))
    return bonds


def sdfrecords(text):
    """Per record of a V2000 SD file: atoms as (symbol, x, y, z), bonds as {(a, b): order} and the
    ENERGY_HARTREE field."""
    records = []
    for block in text.split("$$$$\n"):
        lines = block.splitlines()
        if len(lines) < 4:
            continue
        natoms, nbonds = int(lines[3][0:3]), int(lines[3][3:6])
        atoms = [(line[31:34].strip(), float(line[0:10]), float(line[10:20]), float(line[20:30]))
                 for line in lines[4:4 + natoms]]
        bonds = {}
        for line in lines[4 + natoms:4 + natoms + nbonds]:
            a, b = int(line[0:3]), int(line[3:6])
            bonds[(min(a, b), max(a, b))] = int(line[6:9])
        energy = float(lines[lines.index("> <ENERGY_HARTREE>") + 1])
        records.append((atoms, bonds, energy))
    return records


def hill(composition):
    """The Hill formula of KRU's REP composition ("H10.C10"): carbon, hydrogen, then A to Z."""
    counts = {}
    for part in composition.split("."):
        symbol = part.rstrip("0123456789")
        counts[symbol.capitalize()] = int(part[len(symbol):] or 1)
    order = (["C", "H"] if "C" in counts else []) + sorted(
        s for s in counts if "C" not in counts or s not in ("C", "H"))
    return "".join(s + (str(counts[s]) if counts[s] > 1 else "") for s in order)


def handoff(work):
    """The ORCA/Gaussian inputs, the SD file and the extended XYZ file of a real optimisation
    (divinylbenzene) read by the tools people script with."""
    source = os.path.join(REALDATA, "Gaussian", "dvb_gopt.out")
    if not os.path.exists(source):
        print(f"skip the real-data checks: {source} not found")
        return
    rep = open(kru(work, "GAUSS", source, "REP", "dvb.rep")).read()
    formula = hill(rep.split("Total system: ")[1].split()[0])
    check(formula == "C10H10", "KRU's Hill formula of divinylbenzene is C10H10")
    final = xyzframes(open(kru(work, "GAUSS", source, "XYZ", "dvb.xyz")).read())[0]
    steps = xyzframes(open(kru(work, "GAUSS", source, "MOVXYZ", "dvb.movxyz")).read())

    import ase.io
    gjf = kru(work, "GAUSS", source, "GJF", "dvb.gjf", "CHARGE -1\nMULT 2\n")
    # Open Babel writes Gaussian inputs but does not read them; ASE does.
    atoms = ase.io.read(gjf, format="gaussian-in", attach_calculator=True)
    read = [(s, *p) for s, p in zip(atoms.get_chemical_symbols(), atoms.positions)]
    check(same(read, final, 1e-6) and atoms.calc.parameters.get("charge") == -1
          and atoms.calc.parameters.get("mult") == 2,
          "ASE reads the Gaussian input: atoms, coordinates, charge and multiplicity")

    sdf = kru(work, "GAUSS", source, "SDF", "dvb.sdf")
    records = sdfrecords(open(sdf).read())
    check(len(records) == len(steps) and all(same(r[0], f, 1e-4) for r, f in zip(records, steps)),
          "KRU's SD file holds every step of the optimisation")
    frames = xyzframes(obabel("sdf", sdf))
    check(len(frames) == len(steps) and all(same(a, f, 1e-4) for a, f in zip(frames, steps)),
          "Open Babel reads every record of the SD file with its atoms and coordinates")
    formulas = [line.split()[-1] for line in subprocess.run(
        ["obabel", "-isdf", sdf, "-otxt", "--append", "formula"], capture_output=True,
        text=True).stdout.splitlines()]
    check(formulas == [formula] * len(records), "Open Babel's formula of every record is KRU's")

    from rdkit import Chem, RDLogger
    from rdkit.Chem.rdMolDescriptors import CalcMolFormula
    RDLogger.DisableLog("rdApp.*")  # a flat molecule tagged 3D draws a warning per record
    mols = list(Chem.SDMolSupplier(sdf, removeHs=False, sanitize=True))
    check(len(mols) == len(records) and all(m is not None for m in mols),
          "RDKit reads and sanitises every record of the SD file")
    ok = True
    for mol, (_, bonds, energy) in zip(mols, records):
        got = {(min(b.GetBeginAtomIdx(), b.GetEndAtomIdx()) + 1,
                max(b.GetBeginAtomIdx(), b.GetEndAtomIdx()) + 1) for b in mol.GetBonds()}
        ok = ok and got == set(bonds) and CalcMolFormula(mol) == formula
        ok = ok and abs(float(mol.GetProp("ENERGY_HARTREE")) - energy) < 1e-12
    check(ok, "RDKit takes the SD file's bonds, the formula C10H10 and the energy field")

    extxyz = kru(work, "GAUSS", source, "EXTXYZ", "dvb.extxyz")
    traj = ase.io.read(extxyz, index=":")
    check(len(traj) == len(steps) and all(
        same([(s, *p) for s, p in zip(a.get_chemical_symbols(), a.positions)], f, 1e-8)
        and abs(a.get_potential_energy() - r[2] * EV_PER_HARTREE) < 1e-6
        for a, f, r in zip(traj, steps, records)),
        "ASE reads every frame of the extended XYZ file with its positions and energy")


def conectbonds(path):
    bonds = set()
    for line in open(path):
        if line.startswith("CONECT"):
            fields = [int(line[i:i + 5]) for i in range(6, len(line.rstrip()), 5)]
            for partner in fields[1:]:
                bonds.add((min(fields[0], partner), max(fields[0], partner)))
    return bonds


def main():
    work = tempfile.mkdtemp(prefix="kru_interop_")
    try:
        shutil.copy(os.path.join(HERE, "ethanol.xyz"), work)
        shutil.copy(os.path.join(HERE, "water-opt.adfout"), work)
        shutil.copy(os.path.join(HERE, "water-freq.log"), work)
        reference = xyzframes(open(os.path.join(HERE, "ethanol.xyz")).read())[0]

        for outtype, fmt, tol in [("XYZ", "xyz", 1e-6), ("PDB", "pdb", 1e-3),
                                  ("MOLDEN", "molden", 1e-5), ("DAT", "mop", 1e-8)]:
            out = kru(work, "XYZ", "ethanol.xyz", outtype, "out." + outtype.lower())
            frames = xyzframes(obabel(fmt, out))
            check(len(frames) == 1 and same(frames[0], reference, tol),
                  f"Open Babel reads {outtype} with the same atoms and coordinates")

        # Open Babel takes any words after the atom count of a C3D file as cell lengths, so the
        # file's fixed header text turns every coordinate into 0 there; the atoms themselves
        # read back, and so do the coordinates once the header text is left out.
        out = kru(work, "XYZ", "ethanol.xyz", "C3D", "out.c3d")
        frames = xyzframes(obabel("c3d1", out))
        check(len(frames) == 1 and [a[0] for a in frames[0]] == [a[0] for a in reference],
              "Open Babel reads the C3D atoms")
        lines = open(out).read().splitlines()
        with open(out + ".bare", "w") as bare:
            bare.write("\n".join([lines[0].split()[0]] + lines[1:]) + "\n")
        frames = xyzframes(obabel("c3d1", out + ".bare"))
        check(len(frames) == 1 and same(frames[0], reference, 1e-6),
              "Open Babel reads the C3D coordinates without the header text")

        pdb = os.path.join(work, "out.pdb")
        check(sdfbonds(obabel("pdb", pdb, "sdf")) == conectbonds(pdb),
              "Open Babel takes the bonds of the CONECT records")

        final = xyzframes(open(kru(work, "ADFOUT", "water-opt.adfout", "XYZ", "final.xyz")).read())
        for outtype, fmt, tol in [("MOVXYZ", "xyz", 1e-8), ("MOVPDB", "pdb", 1e-3)]:
            out = kru(work, "ADFOUT", "water-opt.adfout", outtype, "opt." + outtype.lower())
            frames = xyzframes(obabel(fmt, out))
            check(len(frames) == 3 and same(frames[-1], final[0], tol),
                  f"Open Babel reads {outtype} as three frames ending at the final structure")

        # A Gaussian frequency run: Open Babel reads the same molecule from the output itself
        # and from the Molden file with its modes.
        gaussian = xyzframes(obabel("g09", os.path.join(work, "water-freq.log")))
        out = kru(work, "GAUSS", "water-freq.log", "MOLDEN", "freq.molden")
        frames = xyzframes(obabel("molden", out))
        check(len(gaussian) == 1 and len(frames) == 1 and same(frames[0], gaussian[0], 1e-5),
              "Open Babel reads the Molden file of a Gaussian run as it reads the run")

        import ase.io
        atoms = ase.io.read(os.path.join(work, "out.xyz"))
        check(len(atoms) == 9 and atoms.get_chemical_formula() == "C2H6O",
              "ASE reads the XYZ file")
        with warnings.catch_warnings():
            warnings.simplefilter("ignore")  # ASE warns about residue numbers of later models
            models = ase.io.read(os.path.join(work, "opt.movpdb"), index=":",
                                 format="proteindatabank")
        check(len(models) == 3 and all(len(m) == 3 for m in models),
              "ASE reads the multi-model PDB file as three frames")
        models = ase.io.read(os.path.join(work, "opt.movxyz"), index=":", format="xyz")
        check(len(models) == 3, "ASE reads the XYZ trajectory as three frames")
        handoff(work)
    finally:
        shutil.rmtree(work)
    print(f"{checks - len(failures)} passed, {len(failures)} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
