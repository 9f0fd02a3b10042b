#!/usr/bin/env python3
"""Writes the demonstration universe folder data/UNIVERS: the ten data packet
files an export of a BusinessObjects universe produces, describing a universe
over the demonstration tables KORVO_DEPT, KORVO_EMP and KORVO_SALGRADE.

Run from anywhere:  python3 tools/make_demo_universe.py [output folder]

The files are written as the Windows program writes them (one line of XML in
Windows-1252, the data packet escapes), and the universe is checked before it
is written: names fit their columns, every usable join is marked FALSE, and the
usable joins form no loop (the import would refuse the universe otherwise).
"""
import os
import sys

UNIVERSE_ID = 1
UNIVERSE = dict(name="Korvo démonstration", version=1, created="2012/01/18",
                modified="2012/01/18", scrambled="N")

# Tables and aliases: id, name, id of the aliased table (None for a table).
TABLES = [
    (1, "KORVO_DEPT", None),
    (2, "KORVO_EMP", None),
    (3, "KORVO_SALGRADE", None),
    (4, "KORVO_MGR", 2),  # the employees seen as managers
]

# Joins: id, first table, second table, property string, SQL text.
# The property string reads operator, cardinality, outer-join flag; the "FALSE"
# of a join that is not an outer join is what makes a join usable.
JOINS = [
    (1, 2, 1, "=,N-1,FALSE,", "KORVO_EMP.DEPTNO=KORVO_DEPT.DEPTNO"),
    (2, 2, 3, "BETWEEN,N-1,FALSE,",
     "KORVO_EMP.SAL between KORVO_SALGRADE.LOSAL and KORVO_SALGRADE.HISAL"),
    (3, 2, 4, "=,N-1,FALSE,", "KORVO_EMP.MGR=KORVO_MGR.EMPNO"),
]

# Classes: id, parent id (None at the top), position, name, description.
CLASSES = [
    (1, None, 1, "Départements", "Les départements de l'entreprise et leur ville."),
    (2, None, 2, "Employés", "Les employés : identité, fonction et rémunération."),
    (3, 2, 1, "Responsable", "Le responsable hiérarchique de chaque employé "
                             "(les employés vus à travers l'alias KORVO_MGR)."),
    (4, 2, 2, "Embauche", "La date d'embauche et ses parties : année, trimestre, mois."),
    (5, None, 3, "Grades de salaire",
     "La grille des salaires : chaque employé tombe dans le grade dont la fourchette "
     "contient son salaire."),
    (6, None, 4, "Mesures", "Les indicateurs calculés sur les employés."),
]

# Objects: id, class, position, name, type, qualification (D dimension,
# I detail, M measure), date part (N, or Y/Q/M for a part of a date object),
# base date object id, SELECT text, WHERE text, tables, description.
OBJECTS = [
    (1, 1, 1, "Numéro de département", "Num", "D", "N", None, "KORVO_DEPT.DEPTNO", None, [1],
     "Le numéro du département."),
    (2, 1, 2, "Département", "Cha", "D", "N", None, "KORVO_DEPT.DNAME", None, [1],
     "Le nom du département (ACCOUNTING, RESEARCH, SALES, OPERATIONS)."),
    (3, 1, 3, "Ville", "Cha", "D", "N", None, "KORVO_DEPT.LOC", None, [1],
     "La ville où le département est installé."),
    (4, 2, 1, "Matricule", "Num", "D", "N", None, "KORVO_EMP.EMPNO", None, [2],
     "Le matricule de l'employé."),
    (5, 2, 2, "Employé", "Cha", "D", "N", None, "KORVO_EMP.ENAME", None, [2],
     "Le nom de l'employé."),
    (6, 2, 3, "Fonction", "Cha", "D", "N", None, "KORVO_EMP.JOB", None, [2],
     "La fonction de l'employé (CLERK, SALESMAN, MANAGER, ANALYST, PRESIDENT)."),
    (7, 2, 4, "Salaire", "Num", "I", "N", None, "KORVO_EMP.SAL", None, [2],
     "Le salaire mensuel de l'employé."),
    (8, 2, 5, "Commission", "Num", "I", "N", None, "KORVO_EMP.COMM", None, [2],
     "La commission de l'employé ; vide pour qui n'en touche pas."),
    (9, 2, 6, "Employés d'une fonction", "Cha", "D", "N", None, "KORVO_EMP.ENAME",
     "KORVO_EMP.JOB = @Prompt('Quelle fonction ?','A',,mono,free)", [2],
     "Les employés de la fonction demandée à l'exécution (par exemple CLERK)."),
    (10, 2, 7, "Employés commissionnés", "Cha", "D", "N", None, "KORVO_EMP.ENAME",
     "KORVO_EMP.COMM > 0", [2], "Les employés qui touchent une commission."),
    (11, 3, 1, "Responsable", "Cha", "D", "N", None, "KORVO_MGR.ENAME", None, [4],
     "Le nom du responsable de l'employé ; vide pour le président."),
    (12, 3, 2, "Fonction du responsable", "Cha", "D", "N", None, "KORVO_MGR.JOB", None, [4],
     "La fonction du responsable de l'employé."),
    (13, 4, 1, "Date d'embauche", "Dat", "D", "N", None, "KORVO_EMP.HIREDATE", None, [2],
     "La date d'embauche de l'employé."),
    (14, 4, 2, "Année d'embauche", "Num", "D", "Y", 13, "KORVO_EMP.HIREDATE", None, [2],
     "L'année d'embauche."),
    (15, 4, 3, "Trimestre d'embauche", "Num", "D", "Q", 13, "KORVO_EMP.HIREDATE", None, [2],
     "Le trimestre d'embauche, de 1 à 4."),
    (16, 4, 4, "Mois d'embauche", "Num", "D", "M", 13, "KORVO_EMP.HIREDATE", None, [2],
     "Le mois d'embauche, de 1 à 12."),
    (17, 5, 1, "Grade", "Num", "D", "N", None, "KORVO_SALGRADE.GRADE", None, [3],
     "Le grade de salaire, de 1 à 5."),
    (18, 5, 2, "Salaire plancher", "Num", "I", "N", None, "KORVO_SALGRADE.LOSAL", None, [3],
     "Le plus petit salaire du grade."),
    (19, 5, 3, "Salaire plafond", "Num", "I", "N", None, "KORVO_SALGRADE.HISAL", None, [3],
     "Le plus grand salaire du grade."),
    (20, 6, 1, "Masse salariale", "Num", "M", "N", None, "sum(KORVO_EMP.SAL)", None, [2],
     "La somme des salaires."),
    (21, 6, 2, "Salaire moyen", "Num", "M", "N", None, "round(avg(KORVO_EMP.SAL),2)", None, [2],
     "Le salaire moyen, arrondi au centime."),
    (22, 6, 3, "Salaire maximum", "Num", "M", "N", None, "max(KORVO_EMP.SAL)", None, [2],
     "Le plus haut salaire."),
    (23, 6, 4, "Total des commissions", "Num", "M", "N", None, "sum(KORVO_EMP.COMM)", None, [2],
     "La somme des commissions."),
    (24, 6, 5, "Rémunération totale", "Num", "M", "N", None,
     "sum(KORVO_EMP.SAL + nvl(KORVO_EMP.COMM,0))", None, [2],
     "La somme des salaires et des commissions."),
    (25, 6, 6, "Effectif", "Num", "M", "N", None, "count(KORVO_EMP.EMPNO)", None, [2],
     "Le nombre d'employés."),
]

SLICE = 240

# --- data packet writing ---------------------------------------------------

ESCAPES = {"<": "&lt;", ">": "&gt;", "&": "&amp;", "'": "&apos;", '"': "&quot;",
           "\r": "&#013;", "\n": "&#010;", "\t": "&#009;", "\\": "&#092;"}


def escape(text):
    out = []
    for ch in str(text):
        if ch in ESCAPES:
            out.append(ESCAPES[ch])
            continue
        try:
            ch.encode("cp1252")
            out.append(ch)
        except UnicodeEncodeError:
            out.append("&#%d;" % ord(ch))
    return "".join(out)


def number(name, width):
    return (name, "fixedFMT", width)


def string(name, width):
    return (name, "string", width)


def packet(fields, rows):
    parts = ['<?xml version="1.0" standalone="yes"?>  <DATAPACKET Version="2.0"><METADATA><FIELDS>']
    for name, ftype, width in fields:
        extra = ' WIDTH="%d"' % width
        if ftype == "fixedFMT":
            extra += ' DECIMALS="0"'
        parts.append('<FIELD attrname="%s" fieldtype="%s"%s/>' % (name, ftype, extra))
    parts.append("</FIELDS><PARAMS/></METADATA><ROWDATA>")
    for row in rows:
        attrs = "".join(' %s="%s"' % (f[0], escape(v)) for f, v in zip(fields, row) if v is not None)
        parts.append("<ROW%s/>" % attrs)
    parts.append("</ROWDATA></DATAPACKET>")
    return "".join(parts).encode("cp1252")


def slices(text):
    return [text[i:i + SLICE] for i in range(0, len(text), SLICE)] or [""]


# --- checks -----------------------------------------------------------------

def check():
    problems = []
    table_ids = {t[0] for t in TABLES}
    for tid, name, alias in TABLES:
        if len(name) > 30:
            problems.append("table name over 30 characters: " + name)
        if alias is not None and alias not in table_ids:
            problems.append("alias of an unknown table: " + name)
    class_ids = {c[0] for c in CLASSES}
    for cid, parent, _, name, _ in CLASSES:
        if len(name) > 35:
            problems.append("class name over 35 characters: " + name)
        if parent is not None and parent not in class_ids:
            problems.append("class with an unknown parent: " + name)
    object_ids = {o[0] for o in OBJECTS}
    for o in OBJECTS:
        oid, cid, _, name, otype, qual, part, base, select, where, tables, _ = o
        if len(name) > 35:
            problems.append("object name over 35 characters: " + name)
        if cid not in class_ids:
            problems.append("object in an unknown class: " + name)
        if base is not None and (base not in object_ids or part not in "YQM"):
            problems.append("derived date object without a base: " + name)
        if not set(tables) <= table_ids:
            problems.append("object over an unknown table: " + name)
        if len(select) > 5 * SLICE or len(where or "") > 5 * SLICE:
            problems.append("object text over 1,200 characters: " + name)
    # The join tree: every usable join links two known tables, no loop.
    parent = {t: t for t in table_ids}

    def root(t):
        while parent[t] != t:
            t = parent[t]
        return t

    for jid, t1, t2, prop, text in JOINS:
        if "FALSE" not in prop.upper() or ",FALSE," not in prop:
            problems.append("join %d is not usable: %s" % (jid, prop))
            continue
        if t1 not in table_ids or t2 not in table_ids or t1 == t2:
            problems.append("join %d does not link two tables of the universe" % jid)
            continue
        r1, r2 = root(t1), root(t2)
        if r1 == r2:
            problems.append("join %d closes a loop" % jid)
        parent[r1] = r2
    if len({root(t) for t in table_ids}) != 1:
        problems.append("the tables do not form one join tree")
    return problems


# --- the ten files ------------------------------------------------------------

def files():
    u = UNIVERSE_ID
    out = {}
    out["UNV_CLASS.xml"] = packet(
        [number("CLASS_ID", 10), number("UNIVERSE_ID", 10), string("CLS_NAME", 35),
         number("CLS_BASECLASSID", 10), string("CLS_HIDDEN", 2), number("CLS_POSITION", 10)],
        [(c[0], u, c[3], c[1], "N", c[2]) for c in CLASSES])
    class_data = []
    for c in CLASSES:
        for n, text in enumerate(slices(c[4]), 1):
            class_data.append((c[0], u, "H", n, text))
    out["UNV_CLASS_DATA.xml"] = packet(
        [number("CLASS_ID", 10), number("UNIVERSE_ID", 10), string("CLS_DATATYPE", 2),
         number("CLS_SLICE", 6), string("CLS_DATAVALUE", 240)], class_data)
    join_data = []
    for j in JOINS:
        for n, text in enumerate(slices(j[4]), 1):
            join_data.append((j[0], u, "J", n, text))
    out["UNV_JOIN_DATA.xml"] = packet(
        [number("JOIN_ID", 10), number("UNIVERSE_ID", 10), string("JN_DATATYPE", 2),
         number("JN_SLICE", 6), string("JN_DATAVALUE", 240)], join_data)
    out["UNV_JOINCONTENT.xml"] = packet(
        [number("JOIN_ID", 10), number("UNIVERSE_ID", 10), number("JN_TABLE1_ID", 10),
         number("JN_TABLE2_ID", 10), string("JN_PROP", 35)],
        [(j[0], u, j[1], j[2], j[3]) for j in JOINS])
    out["UNV_OBJ_TAB.xml"] = packet(
        [number("OBJECT_ID", 10), number("TABLE_ID", 10), number("UNIVERSE_ID", 10)],
        [(o[0], t, u) for o in OBJECTS for t in o[10]])
    object_data = []
    for o in OBJECTS:
        for code, text in (("H", o[11]), ("S", o[8]), ("W", o[9])):
            if text:
                for n, piece in enumerate(slices(text), 1):
                    object_data.append((o[0], u, code, n, piece))
    out["UNV_OBJECT_DATA.xml"] = packet(
        [number("OBJECT_ID", 10), number("UNIVERSE_ID", 10), string("OBJ_DATATYPE", 2),
         number("OBJ_SLICE", 6), string("OBJ_DATAVALUE", 240)], object_data)
    out["UNV_OBJCONTENT.xml"] = packet(
        [number("OBJECT_ID", 10), number("UNIVERSE_ID", 10), string("OBJ_PROP", 35),
         number("OBJ_BASICDATE_ID", 10)],
        [(o[0], u, "%s,%s,%s," % (o[4], o[5], o[6]), o[7] if o[7] is not None else 0)
         for o in OBJECTS])
    out["UNV_OBJECT.xml"] = packet(
        [number("OBJECT_ID", 10), number("UNIVERSE_ID", 10), number("CLASS_ID", 10),
         string("OBJ_NAME", 35), string("OBJ_HIDDEN", 2), number("OBJ_POSITION", 10)],
        [(o[0], u, o[1], o[3], "N", o[2]) for o in OBJECTS])
    out["UNV_TABLE.xml"] = packet(
        [number("TABLE_ID", 10), number("UNIVERSE_ID", 10), string("TAB_NAME", 110),
         number("ALIAS_TABLE", 10)],
        [(t[0], u, t[1], t[2]) for t in TABLES])
    out["UNV_UNIVERSE.xml"] = packet(
        [number("UNIVERSE_ID", 10), string("UNI_LONGNAME", 35), number("UNI_VERSION", 10),
         string("UNI_CREATEDATE", 12), string("UNI_MODIFYDATE", 12), string("UNI_CRYPTAGE", 1)],
        [(u, UNIVERSE["name"], UNIVERSE["version"], UNIVERSE["created"], UNIVERSE["modified"],
          UNIVERSE["scrambled"])])
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    target = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "data", "UNIVERS")
    problems = check()
    if problems:
        for p in problems:
            print("make_demo_universe: " + p, file=sys.stderr)
        return 1
    os.makedirs(target, exist_ok=True)
    for name, data in files().items():
        with open(os.path.join(target, name), "wb") as f:
            f.write(data)
    print("wrote %d files to %s" % (len(files()), os.path.normpath(target)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
