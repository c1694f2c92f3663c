#!/usr/bin/env python3
"""Writes data/demo.json, the content of the demo store, and docs/demo-store.md,
the guide to what it holds.

    scripts/gen-demo-data.py            # from the repository root
    scripts/gen-demo-data.py --check    # exit 1 when the files would change

The output is the same on every run: the random choices come from a fixed
seed and every date is fixed around 2026-12-06, the processing date the demo
is meant to be used with. Amounts are exact decimals (integer cents), never
binary floating point. The file follows docs/import-format.md.

The demo holds two companies: "01" (head office "0001" and branch "0002",
which has another CNPJ root) with one account at every bank the dispatch
knows, and "02" (branch "0003") whose Bradesco and Itaú agreements use the
second layout standard. A few hundred slips cover every payment mode, and a
handful are made to be refused when marked, each for one reason (see
docs/demo-store.md, written from the same data).
"""

import datetime as dt
import json
import os
import random
import sys
import unicodedata
import uuid
from collections import Counter, OrderedDict, defaultdict
from decimal import Decimal

SEED = 20261206
PROCESSING_DATE = dt.date(2026, 12, 6)
ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_JSON = os.path.join(ROOT, "data", "demo.json")
OUT_DOC = os.path.join(ROOT, "docs", "demo-store.md")

rng = random.Random(SEED)


# ---------------------------------------------------------------------------
# Money and dates

def money(cents):
    """Integer cents as the format's amount text: 123456 -> "1234.56"."""
    value = (Decimal(cents) / 100).quantize(Decimal("0.01"))
    return str(value)


def cents_between(low, high):
    """Random whole cents between two amounts given in reais (integers)."""
    return rng.randint(low * 100, high * 100)


def iso(d):
    return d.isoformat()


def day(offset):
    """A date relative to the processing date."""
    return PROCESSING_DATE + dt.timedelta(days=offset)


FACTOR_BASE = dt.date(1997, 10, 7)


def due_factor(d):
    """FEBRABAN due-date factor: days since 1997-10-07; after 9999 (reached on
    2025-02-21) the count starts again at 1000 (2025-02-22) and runs in
    cycles of 9000."""
    days = (d - FACTOR_BASE).days
    if days <= 9999:
        return days
    return (days - 10000) % 9000 + 1000


# ---------------------------------------------------------------------------
# Check digits

def mod11_weights(digits, weights):
    return sum(int(c) * w for c, w in zip(digits, weights))


def cnpj(base12):
    """The 14 digits of a CNPJ from its first 12 (root 8 + order 4)."""
    d = base12
    for weights in ([5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2],
                    [6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2]):
        r = mod11_weights(d, weights) % 11
        d += "0" if r < 2 else str(11 - r)
    return d


def cpf(base9):
    """The 11 digits of a CPF from its first 9."""
    d = base9
    for n in (10, 11):
        r = mod11_weights(d, range(n, 1, -1)) % 11
        d += "0" if r < 2 else str(11 - r)
    return d


def mask_cnpj(d):
    return f"{d[0:2]}.{d[2:5]}.{d[5:8]}/{d[8:12]}-{d[12:14]}"


def mask_cpf(d):
    return f"{d[0:3]}.{d[3:6]}.{d[6:9]}-{d[9:11]}"


def random_cnpj(order="0001"):
    return cnpj("".join(str(rng.randint(0, 9)) for _ in range(8)) + order)


def random_cpf():
    while True:
        base = "".join(str(rng.randint(0, 9)) for _ in range(9))
        if len(set(base)) > 1:
            return cpf(base)


def mod10(digits):
    """Weights 2,1,2,... from the right, the digits of each product summed;
    (10 - sum mod 10) mod 10. Typed-line fields, Itaú's DAC, utility bills of
    value type 6 and 7."""
    total = 0
    for i, c in enumerate(reversed(digits)):
        p = int(c) * (2 if i % 2 == 0 else 1)
        total += p // 10 + p % 10
    return (10 - total % 10) % 10


def mod11_right(digits, top=9):
    """Weighted sum with weights 2..top from the right, repeating."""
    total = 0
    for i, c in enumerate(reversed(digits)):
        total += int(c) * (2 + i % (top - 1))
    return total


def bank_slip_dv(digits43):
    """General check digit of a bank slip barcode: 11 - (sum mod 11) with
    weights 2..9; 0, 10 and 11 give 1."""
    dv = 11 - mod11_right(digits43) % 11
    return 1 if dv in (0, 10, 11) else dv


def utility_mod11(digits):
    """Check digit of utility bills of value type 8 and 9: remainders 0 and 1
    give 0, otherwise 11 - remainder."""
    r = mod11_right(digits) % 11
    return 0 if r in (0, 1) else 11 - r


def dv_mod11_generic(digits):
    """Modulo 11, weights 2..9 from the right; remainders 0 and 1 give 0. Used
    for the agencies and accounts of banks whose own rule is not public."""
    r = mod11_right(digits) % 11
    return "0" if r in (0, 1) else str(11 - r)


def dv_bb(digits):
    """Banco do Brasil agencies (weights 5..2) and accounts (9..2): 11 - r,
    10 is "X", 11 is "0". None when it would be "X" (the demo avoids it)."""
    weights = range(len(digits) + 1, 1, -1)
    dv = 11 - mod11_weights(digits, weights) % 11
    if dv == 10:
        return None
    return "0" if dv == 11 else str(dv)


def dv_bradesco(digits):
    """Bradesco agencies and accounts: modulo 11 with weights 2..7 from the
    right; remainder 0 gives 0, remainder 1 gives "P" (avoided: None)."""
    r = mod11_right(digits, top=7) % 11
    if r == 1:
        return None
    return "0" if r == 0 else str(11 - r)


def dv_caixa(agency4, op3, account8):
    """Caixa: weights 8,7,6,5,4,3,2,9,... over agency, operation and account;
    (sum x 10) mod 11, 10 is 0."""
    digits = agency4 + op3 + account8
    weights = [8, 7, 6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2]
    r = mod11_weights(digits, weights) * 10 % 11
    return "0" if r == 10 else str(r)


# ---------------------------------------------------------------------------
# Banks: name, agency picture, account picture. "-" marks where the check
# digit begins; the stored numbers carry no mask.

BANKS = OrderedDict([
    ("001", ("BANCO DO BRASIL S.A.", "9999-9", "99999999-9")),
    ("021", ("BANESTES S.A.", "9999", "99999999-9")),
    ("033", ("BANCO SANTANDER (BRASIL) S.A.", "9999", "99999999-9")),
    ("041", ("BANRISUL S.A.", "9999", "999999999-9")),
    ("104", ("CAIXA ECONOMICA FEDERAL", "9999", "99999999-9")),
    ("151", ("BANCO NOSSA CAIXA S.A.", "9999-9", "99999999-9")),
    ("237", ("BANCO BRADESCO S.A.", "9999-9", "9999999-9")),
    ("275", ("BANCO ABN AMRO REAL S.A.", "9999", "9999999-9")),
    ("291", ("BANCO DE CREDITO NACIONAL BCN", "9999-9", "9999999-9")),
    ("341", ("ITAU UNIBANCO S.A.", "9999", "99999-9")),
    ("353", ("BANCO SANTANDER BANESPA S.A.", "9999", "99999999-9")),
    ("356", ("BANCO REAL S.A.", "9999", "9999999-9")),
    ("399", ("HSBC BANK BRASIL S.A.", "9999", "99999-99")),
    ("409", ("UNIBANCO S.A.", "9999", "999999-9")),
    ("422", ("BANCO SAFRA S.A.", "99999", "99999999-9")),
    ("453", ("BANCO RURAL S.A.", "9999", "99999999-9")),
    ("479", ("BANKBOSTON BANCO MULTIPLO S.A.", "9999", "99999999-9")),
    ("745", ("BANCO CITIBANK S.A.", "9999", "9999999999")),
    ("748", ("BANCO COOPERATIVO SICREDI S.A.", "9999", "99999-9")),
    ("749", ("BANCO SIMPLES S.A.", "9999", "99999999-9")),
    ("756", ("BANCO COOPERATIVO SICOOB S.A.", "9999-9", "99999999-9")),
    # Banks that only appear as payees or slip issuers.
    ("077", ("BANCO INTER S.A.", "9999", "99999999-9")),
    ("208", ("BANCO BTG PACTUAL S.A.", "9999", "9999999-9")),
    ("260", ("NU PAGAMENTOS S.A.", "9999", "99999999-9")),
    ("336", ("BANCO C6 S.A.", "9999", "99999999-9")),
])


def picture_parts(picture):
    """(digits before the check digit, check digits) of a picture."""
    if "-" in picture:
        head, tail = picture.split("-", 1)
        return len(head), len(tail)
    return len(picture), 0


def random_digits(n):
    return "".join(str(rng.randint(0, 9)) for _ in range(n))


def make_agency(bank):
    """Agency digits with the check digit when the bank's picture has one."""
    n, dvn = picture_parts(BANKS[bank][1])
    while True:
        body = f"{rng.randint(100, 9999):04d}" if n == 4 else f"00{rng.randint(100, 999)}"
        if dvn == 0:
            return body
        dv = dv_for(bank, body)
        if dv is not None:
            return body + dv


def dv_for(bank, body, agency_digits=""):
    """Check digit of an agency or account number at a bank."""
    if bank == "001":
        return dv_bb(body)
    if bank in ("237", "291"):
        return dv_bradesco(body)
    if bank == "341":
        return str(mod10(agency_digits[:4] + body))
    return dv_mod11_generic(body)


def make_account(bank, agency, op=""):
    """Account digits with its check digit(s), following the bank's picture."""
    n, dvn = picture_parts(BANKS[bank][2])
    while True:
        body = str(rng.randint(10 ** (n - 2), 10 ** n - 1)).zfill(n)
        if dvn == 0:
            return body
        if bank == "104":
            return body + dv_caixa(agency[:4], (op or "0003")[-3:], body)
        if dvn == 2:
            d1 = dv_mod11_generic(body)
            return body + d1 + dv_mod11_generic(body + d1)
        dv = dv_for(bank, body, agency_digits=agency)
        if dv is not None:
            return body + dv


def show_account(bank, digits):
    """Account digits shown with a "-" before the check digit(s)."""
    _, dvn = picture_parts(BANKS[bank][2])
    if dvn == 0:
        return digits
    return digits[:-dvn] + "-" + digits[-dvn:]


# ---------------------------------------------------------------------------
# Barcodes

def bank_slip_barcode(bank, due, cents, free):
    """44-digit bank slip barcode: bank, currency 9, check digit, due-date
    factor, amount in cents (10), free field (25)."""
    assert len(bank) == 3 and len(free) == 25
    body = bank + "9" + str(due_factor(due)).zfill(4) + str(cents).zfill(10) + free
    dv = bank_slip_dv(body)
    return body[:4] + str(dv) + body[4:]


def typed_line(barcode, formatted=False):
    """47-digit typed line of a bank slip barcode (or its usual written form
    with points and blanks)."""
    bank_cur = barcode[0:4]
    free = barcode[19:44]
    f1 = bank_cur + free[0:5]
    f2 = free[5:15]
    f3 = free[15:25]
    f1 += str(mod10(f1))
    f2 += str(mod10(f2))
    f3 += str(mod10(f3))
    f4 = barcode[4]
    f5 = barcode[5:19]
    if formatted:
        return f"{f1[:5]}.{f1[5:]} {f2[:5]}.{f2[5:]} {f3[:5]}.{f3[5:]} {f4} {f5}"
    return f1 + f2 + f3 + f4 + f5


def utility_barcode(segment, value_type, cents, org, free):
    """44-digit barcode of a utility bill or tax guide: "8", segment, value
    type (6/7: modulo 10, 8/9: modulo 11), check digit, value (11), the
    company or organ (4), free field (25)."""
    assert len(org) == 4 and len(free) == 25
    body = "8" + segment + value_type + str(cents).zfill(11) + org + free
    rule = mod10 if value_type in "67" else utility_mod11
    dv = rule(body)
    return body[:3] + str(dv) + body[3:]


def utility_typed_line(barcode):
    """48 digits: four blocks of 11 barcode digits, each with its check digit
    by the rule the third digit names."""
    rule = mod10 if barcode[2] in "67" else utility_mod11
    out = ""
    for i in range(4):
        block = barcode[i * 11:(i + 1) * 11]
        out += block + str(rule(block))
    return out


def free_field(bank, account_hint=None):
    """A free field in the bank's own arrangement where it is published, and
    the "nosso número" it carries."""
    if bank == "001":
        if rng.random() < 0.5:   # 7-digit agreement, 17-digit number
            conv = str(rng.randint(2000000, 3999999))
            seq = random_digits(10)
            return "000000" + conv + seq + "17", conv + seq
        conv = str(rng.randint(100000, 999999))
        seq = random_digits(5)
        agency = str(rng.randint(1000, 9999))
        account = random_digits(8)
        return conv + seq + agency + account + "18", conv + seq
    if bank == "237":
        agency = str(rng.randint(1000, 9999))
        wallet = rng.choice(["09", "06", "19"])
        number = random_digits(11)
        account = str(rng.randint(1000000, 9999999))
        return agency + wallet + number + account + "0", wallet + number
    if bank == "341":
        wallet = rng.choice(["109", "112", "175"])
        number = random_digits(8)
        agency = str(rng.randint(1000, 9999))
        account = random_digits(5)
        dac1 = mod10(agency + account + wallet + number)
        dac2 = mod10(agency + account)
        return wallet + number + str(dac1) + agency + account + str(dac2) + "000", \
            wallet + number + str(dac1)
    if bank in ("033", "353"):
        code = random_digits(7)
        number = random_digits(12)
        number += dv_mod11_generic(number)
        return "9" + code + number + "0" + "101", number
    if bank == "104":
        code = random_digits(6)
        seq = random_digits(15)
        head = code + dv_mod11_generic(code) + seq[0:3] + "1" + seq[3:6] + "4" + seq[6:15]
        return head + dv_mod11_generic(head), "14" + seq
    if bank == "756":
        agency = str(rng.randint(3000, 4999))
        client = random_digits(7)
        number = random_digits(8)
        return "1" + agency + "01" + client + number + "001", number
    if bank == "409":
        if account_hint == "own":      # Unibanco's own slip
            number = random_digits(14)
            return "04" + random_digits(9) + number, number
        if account_hint == "uni":      # slip identified by its barcode
            number = random_digits(14)
            return "5" + random_digits(10) + number, number
    number = random_digits(13)
    return random_digits(12) + number, number


# ---------------------------------------------------------------------------
# PIX

def crc16_ccitt(text):
    crc = 0xFFFF
    for byte in text.encode("ascii"):
        crc ^= byte << 8
        for _ in range(8):
            crc = ((crc << 1) ^ 0x1021) if crc & 0x8000 else crc << 1
            crc &= 0xFFFF
    return f"{crc:04X}"


def emv(tag, value):
    return f"{tag}{len(value):02d}{value}"


def pix_qr(key, name, city):
    """A static BR Code (EMV "000201...") for a PIX key, without amount, kept
    within the 100 characters the slip can hold."""
    account = emv("00", "br.gov.bcb.pix") + emv("01", key)
    payload = (emv("00", "01") + emv("26", account) + emv("52", "0000")
               + emv("53", "986") + emv("58", "BR") + emv("59", name)
               + emv("60", city) + emv("62", emv("05", "***")) + "6304")
    payload += crc16_ccitt(payload)
    assert len(payload) <= 100, payload
    return payload


# ---------------------------------------------------------------------------
# Tables

T = OrderedDict((name, []) for name in [
    "companies", "branches", "branch_params", "banks", "accounts",
    "account_ids", "agreements", "layouts", "settings", "payment_kinds",
    "supplier_groups", "suppliers", "countries", "cities",
    "supplier_addresses", "slips", "slip_payables", "slip_adjustments",
    "advances", "invoices", "receiving_branches", "tax_guides",
    "remittances", "counters", "daily_file_counters", "report_layouts",
    "operators", "operator_companies", "operator_permissions"])


def row(table, **fields):
    r = OrderedDict((k, v) for k, v in fields.items() if v is not None)
    T[table].append(r)
    return r


# Countries and cities (city codes are the municipal part of the IBGE code).
row("countries", CDPAIS="1058", NMPAIS="BRASIL")
CITIES = {
    "SAO PAULO": ("SP", "5030", "SÃO PAULO"),
    "CAMPINAS": ("SP", "0950", "CAMPINAS"),
    "SANTOS": ("SP", "4850", "SANTOS"),
    "RIBEIRAO PRETO": ("SP", "4340", "RIBEIRÃO PRETO"),
    "SAO JOSE DOS CAMPOS": ("SP", "4990", "SÃO JOSÉ DOS CAMPOS"),
    "RIO DE JANEIRO": ("RJ", "0455", "RIO DE JANEIRO"),
    "NITEROI": ("RJ", "0330", "NITERÓI"),
    "BELO HORIZONTE": ("MG", "0620", "BELO HORIZONTE"),
    "CURITIBA": ("PR", "0690", "CURITIBA"),
    "LONDRINA": ("PR", "1370", "LONDRINA"),
    "PORTO ALEGRE": ("RS", "1490", "PORTO ALEGRE"),
    "FLORIANOPOLIS": ("SC", "0540", "FLORIANÓPOLIS"),
    "JOINVILLE": ("SC", "0910", "JOINVILLE"),
    "VITORIA": ("ES", "0530", "VITÓRIA"),
    "SALVADOR": ("BA", "2740", "SALVADOR"),
    "RECIFE": ("PE", "1160", "RECIFE"),
    "FORTALEZA": ("CE", "0440", "FORTALEZA"),
    "GOIANIA": ("GO", "0870", "GOIÂNIA"),
    "BRASILIA": ("DF", "0010", "BRASÍLIA"),
}
for uf, code, name in CITIES.values():
    row("cities", CDPAIS="1058", SGESTADO=uf, CDMUNICIPIO=code, NMMUNICIPIO=name)

# Companies and branches. Branch 0002 has a CNPJ root of its own.
CNPJ_01 = cnpj("234567890001")
CNPJ_0002 = cnpj("456789120001")
CNPJ_02 = cnpj("567891230001")

row("companies", CDEMPRESA="01", NMEMPRESA="AURORA ALIMENTOS", IDTPIJUREMPR="J",
    NMRAZSOCEMPR="AURORA COMÉRCIO E DISTRIBUIÇÃO DE ALIMENTOS LTDA",
    DSENDEEMPR="AV. PAULISTA, 1578 - CONJ. 42", CDPAIS="1058", SGESTADO="SP",
    CDMUNICIPIO="5030", NMMUNICIPIO="SÃO PAULO", NRINSJUREMPR=mask_cnpj(CNPJ_01),
    NRCEPEMPR="01310-200", IDOPTSIMPLES="N", CDCENTCUST="100")
row("companies", CDEMPRESA="02", NMEMPRESA="AURORA LOGÍSTICA", IDTPIJUREMPR="J",
    NMRAZSOCEMPR="AURORA SERVIÇOS DE LOGÍSTICA E TRANSPORTES LTDA - EPP",
    DSENDEEMPR="RUA DOS ANDRADAS, 250", CDPAIS="1058", SGESTADO="RJ",
    CDMUNICIPIO="0455", NMMUNICIPIO="RIO DE JANEIRO", NRINSJUREMPR=CNPJ_02,
    NRCEPEMPR="20051-002", IDOPTSIMPLES="S", CDCENTCUST="200")

BRANCHES = {
    "0001": dict(CDEMPRESA="01", NMFILIAL="MATRIZ SÃO PAULO", IDTPIJURFILI="J",
                 NRINSJURFILI=mask_cnpj(CNPJ_01),
                 NMRAZSOCFILI="AURORA COM. E DISTRIB. DE ALIMENTOS LTDA",
                 SGESTADO="SP", CDMUNICIPIO="5030", NMMUNICIPIO="SÃO PAULO",
                 DSENDEFILI="AV. PAULISTA, 1578 - CONJ. 42",
                 NMBAIRFILI="BELA VISTA", NRCEPFILI="01310-200"),
    "0002": dict(CDEMPRESA="01", NMFILIAL="FILIAL CAMPINAS", IDTPIJURFILI="J",
                 NRINSJURFILI=mask_cnpj(CNPJ_0002),
                 NMRAZSOCFILI="PANIFICADORA CAMPINEIRA AURORA LTDA",
                 SGESTADO="SP", CDMUNICIPIO="0950", NMMUNICIPIO="CAMPINAS",
                 DSENDEFILI="AV. JOSÉ DE SOUZA CAMPOS, 900",
                 NMBAIRFILI="CAMBUÍ", NRCEPFILI="13025-320"),
    "0003": dict(CDEMPRESA="02", NMFILIAL="MATRIZ RIO DE JANEIRO", IDTPIJURFILI="J",
                 NRINSJURFILI=CNPJ_02,
                 NMRAZSOCFILI="AURORA SERV. DE LOGÍSTICA E TRANSP. LTDA",
                 SGESTADO="RJ", CDMUNICIPIO="0455", NMMUNICIPIO="RIO DE JANEIRO",
                 DSENDEFILI="RUA DOS ANDRADAS, 250",
                 NMBAIRFILI="CENTRO", NRCEPFILI="20051-002"),
}
for code, b in BRANCHES.items():
    row("branches", CDFILIAL=code, **b)
row("branch_params", CDFILIAL="0001", NRTAMNUMNFUT="7")
row("branch_params", CDFILIAL="0002", NRTAMNUMNFUT="9")
row("branch_params", CDFILIAL="0003", NRTAMNUMNFUT="")

for code, (name, agpic, ccpic) in BANKS.items():
    row("banks", CDBANCO=code, NMBANCO=name, CDBANCCNAB=code,
        CDPICTCONT=ccpic, CDPICTAGEN=agpic)

# ---------------------------------------------------------------------------
# Accounts and agreements

# code, company, bank, description, phase, layout name, account layout flag
ACCOUNT_ROWS = [
    ("001", "01", "001", "BB MOVIMENTO", "P", "", ""),
    ("002", "01", "341", "ITAU PAGAMENTOS", "P", "", ""),
    ("003", "01", "237", "BRADESCO PAGAMENTOS", "P", "", ""),
    ("004", "01", "033", "SANTANDER PAGTOS", "T", "", ""),
    ("005", "01", "353", "SANTANDER BANESPA", "P", "", ""),
    ("006", "01", "275", "REAL ABN AMRO", "T", "", ""),
    ("007", "01", "356", "BANCO REAL", "P", "", ""),
    ("008", "01", "291", "BCN", "P", "", ""),
    ("009", "01", "745", "CITIBANK", "P", "", ""),
    ("010", "01", "151", "NOSSA CAIXA", "P", "", ""),
    ("011", "01", "748", "SICREDI", "T", "", ""),
    ("012", "01", "422", "SAFRA", "P", "", ""),
    ("013", "01", "409", "UNIBANCO PROPRIO", "P", "", "0"),
    ("014", "01", "409", "UNIBANCO FEBRABAN", "P", "", "1"),
    ("015", "01", "479", "BANKBOSTON", "P", "", ""),
    ("016", "01", "399", "HSBC 240", "T", "240", ""),
    ("017", "01", "399", "HSBC 266", "P", "266", ""),
    ("018", "01", "104", "CAIXA PJ", "P", "", ""),
    ("019", "01", "453", "RURAL", "P", "", ""),
    ("020", "01", "749", "RURAL SIMPLES", "P", "", ""),
    ("021", "01", "756", "SICOOB", "T", "", ""),
    ("022", "01", "041", "BANRISUL", "P", "", ""),
    ("023", "01", "021", "BANESTES", "P", "", ""),
    ("031", "02", "237", "BRADESCO MULTIPAG", "P", "", ""),
    ("032", "02", "341", "ITAU RISCO", "T", "", ""),
]

ACCOUNTS = OrderedDict()
for code, comp, bank, desc, phase, layout_name, lay in ACCOUNT_ROWS:
    op = "0003" if bank == "104" else ""
    agency = make_agency(bank)
    account = make_account(bank, agency, op)
    cedente = {
        "237": str(rng.randint(1000000, 9999999)),
        "756": str(rng.randint(100000, 999999)),
        "104": agency[:4] + "870000" + str(rng.randint(10000, 99999)),
        "399": random_digits(10),
        "275": random_digits(7),
        "356": random_digits(7),
        "291": random_digits(7),
        "745": random_digits(10),
        "479": random_digits(8),
        "422": random_digits(9),
        "748": agency[:4] + random_digits(5),
    }.get(bank, "")
    ACCOUNTS[code] = dict(CDREDUCONT=code, CDEMPRESA=comp, CDBANCO=bank,
                          CDAGENCIA=agency, CDCONTCORR=account)
    row("accounts", CDREDUCONT=code, CDEMPRESA=comp, CDBANCO=bank,
        CDAGENCIA=agency, CDCONTCORR=account, DSCONTCORR=desc,
        CDPICTCONT=BANKS[bank][2], CDPICTAGEN=BANKS[bank][1], CDBANCCNAB=bank,
        CDCEDENTEBAN=cedente, NMBANCO=BANKS[bank][0], IDLAYCNABPAG=lay,
        IDFASCNABPAG=phase, CDOPERCONTCORR=op, IDLAYOUTCNAB=layout_name)

for code, ident in [("001", "000987654"), ("004", "00331234000123456789"),
                    ("015", "BKB" + random_digits(9)), ("018", "504213")]:
    row("account_ids", CDREDUCONT=code, CDIDPAGCONTCORR=ident)

# The agreement standard "1" lets utility bills and tax payments through at
# any bank; the banks whose layouts carry no tax payments get "0", so that
# their tax and utility slips are refused when marked.
STANDARD_1 = {"001", "033", "353", "237", "341", "748"}
AGREEMENT_CODES = {
    "001": "000987654", "033": "00331234000123456789", "353": "3530012345",
    "237": "654321", "341": "", "104": "504213", "756": "", "748": "12345",
    "399": "HSBC0098765", "409": "409778899", "275": "0275123456",
    "356": "0356123456", "291": "291004455", "745": "CITI77001",
    "151": "151000321", "422": "SAFRA4455", "479": "BKB120034",
    "453": "453000111", "749": "749000222", "041": "04100987", "021": "0210445566",
}
COMPROMISSO = {"104": "0042", "001": "0001", "756": "0003"}
for bank in sorted({a["CDBANCO"] for a in ACCOUNTS.values() if a["CDEMPRESA"] == "01"}):
    layout = "BORDPAG_ITAU.QR2" if bank == "341" else "BORDPAG.QR2"
    if bank == "745":
        layout = ""   # no payment-list layout: printing is refused
    row("agreements", CDEMPRESA="01", CDBANCO=bank,
        CDEMPBANCPAG=AGREEMENT_CODES[bank],
        IDPADRAGENCNABPAG="2" if bank in ("033", "409") else "1",
        IDPADRCNABPAG="1" if bank in STANDARD_1 else "0",
        IDCONSDTENVREM="N", CDCOMPROMISSO=COMPROMISSO.get(bank, ""),
        DSARQBORDPAG=layout)
row("agreements", CDEMPRESA="02", CDBANCO="237", CDEMPBANCPAG="778899",
    IDPADRAGENCNABPAG="1", IDPADRCNABPAG="2", IDCONSDTENVREM="S",
    CDCOMPROMISSO="", DSARQBORDPAG="BORDPAG.QR2")
row("agreements", CDEMPRESA="02", CDBANCO="341", CDEMPBANCPAG="341556677",
    IDPADRAGENCNABPAG="1", IDPADRCNABPAG="2", IDCONSDTENVREM="N",
    CDCOMPROMISSO="", DSARQBORDPAG="BORDPAG_ITAU.QR2")

row("layouts", CDEMPRESA="01", CDREDUCONT="013", IDLAYCNABPAG="0")
row("layouts", CDEMPRESA="01", CDREDUCONT="014", IDLAYCNABPAG="1")

row("settings", CDGERALPAG="1", QTDIAANTBOLP=30, QTDIAAPOBOLP=30,
    IDHABIBOLE="S", IDUTCTRLCANREMP="S")

# ---------------------------------------------------------------------------
# Payment kinds

KINDS = [
    ("01", "BOLETO BANCÁRIO", "B", "0"),
    ("02", "CONCESSIONÁRIAS (ÁGUA, LUZ, GÁS, TELEFONE)", "R", "0"),
    ("03", "COMPENSAÇÃO ENTRE CONTAS", "P", "0"),
    ("04", "GPS - PREVIDÊNCIA SOCIAL", "G", "0"),
    ("05", "DARF NORMAL", "I", "0"),
    ("06", "DARF SIMPLES", "H", "0"),
    ("07", "DARJ - ICMS RJ", "J", "0"),
    ("08", "DPVAT", "K", "0"),
    ("09", "TRIBUTOS MUNICIPAIS (IPTU/ISS)", "N", "0"),
    ("10", "GNRE E TRIBUTOS COM CÓDIGO DE BARRAS", "Q", "0"),
    ("11", "FGTS - GRF/GRRF", "U", "0"),
    ("12", "IPVA", "V", "0"),
    ("13", "CRÉDITO EM CONTA CORRENTE", "C", "0"),
    ("14", "DOC", "D", "0"),
    ("15", "DOC ATÉ R$ 4.999,99", "D", "4999.99"),
    ("16", "TED - OUTRA TITULARIDADE", "T", "0"),
    ("17", "TED CIP", "S", "0"),
    ("18", "ORDEM DE PAGAMENTO", "O", "0"),
    ("19", "PIX QR CODE", "Z", "0"),
    ("20", "PIX TRANSFERÊNCIA", "F", "0"),
    ("21", "BOLETO DE OUTROS BANCOS", "B", "0"),
]
KIND_OF_MODE = {}
DOC_LIMIT = {}
for code, name, mode, limit in KINDS:
    row("payment_kinds", CDTPBAIXAPAG=code, NMTPBAIXAPAG=name,
        IDBAIXAUTILP=mode, VRMAXDOCCNAB=limit)
    KIND_OF_MODE.setdefault(mode, code)
    DOC_LIMIT[code] = Decimal(limit)

# ---------------------------------------------------------------------------
# Suppliers

for code, name in [("MAT", "MATERIAIS E MERCADORIAS"), ("SERV", "SERVIÇOS"),
                   ("UTIL", "CONCESSIONÁRIAS"), ("TRIB", "ÓRGÃOS ARRECADADORES"),
                   ("PF", "PESSOAS FÍSICAS"), ("TRANSP", "TRANSPORTE E FRETES")]:
    row("supplier_groups", CDGRUPFORN=code, NMGRUPFORN=name)

STREETS = ["RUA DA CONSOLAÇÃO", "AV. BRIGADEIRO FARIA LIMA", "RUA JOÃO PESSOA",
           "AV. GETÚLIO VARGAS", "RUA SETE DE SETEMBRO", "AV. BEIRA-MAR",
           "RUA DOM PEDRO II", "TRAVESSA SÃO BENTO", "RUA BARÃO DE MAUÁ",
           "AV. DAS NAÇÕES UNIDAS", "ESTRADA DO CAMPO LIMPO", "RUA XV DE NOVEMBRO"]
DISTRICTS = ["CENTRO", "JARDIM AMÉRICA", "VILA MARIANA", "SANTA EFIGÊNIA",
             "BOA VIAGEM", "MOINHOS DE VENTO", "PRAIA DO CANTO", "BATEL",
             "SAVASSI", "ÁGUA VERDE", "DISTRITO INDUSTRIAL", "BOM RETIRO"]

SUPPLIERS = OrderedDict()


def supplier(code, name, ptype, group, trade=None, reg=None, city=None,
             address="P", masked=True):
    """Adds a supplier; address: "P", "CP" (billing and main), "E" (only a
    delivery address, which payment orders do not see), "blank" (a main
    address without street) or "" (none)."""
    if reg is None:
        if ptype == "J":
            reg = random_cnpj(rng.choice(["0001", "0001", "0002", "0005"]))
        elif ptype == "F":
            reg = random_cpf()
        else:
            reg = ""
    shown = reg
    if masked and reg:
        shown = mask_cnpj(reg) if len(reg) == 14 else mask_cpf(reg)
    if trade is None:
        trade = name.split(" ")[0] if ptype != "F" else name.split(" ")[0]
    row("suppliers", CDFORNECED=code, NMRAZSOCFORN=name, NMFANTFORN=trade,
        IDTPIJURFORN=ptype, NRINSJURFORN=shown, CDGRUPFORN=group)
    SUPPLIERS[code] = dict(name=name, type=ptype, reg=reg, group=group)
    city = city or rng.choice(list(CITIES))
    uf, ccode, _ = CITIES[city]
    types = {"P": ["P"], "CP": ["C", "P"], "E": ["E"], "blank": ["P"], "": []}[address]
    for t in types:
        street = "" if address == "blank" else \
            f"{rng.choice(STREETS)}, {rng.randint(10, 3999)}"
        if t == "C":
            street = f"CAIXA POSTAL {rng.randint(100, 9999)}"
        row("supplier_addresses", CDFORNECED=code, IDTPENDEFORN=t, CDPAIS="1058",
            SGESTADO=uf, CDMUNICIPIO=ccode, DSENDEFORN=street,
            NMBAIRFORN=rng.choice(DISTRICTS),
            NRCEPFORN=f"{rng.randint(1000, 99999):05d}-{rng.randint(0, 999):03d}",
            NRTELEFORN=f"({rng.randint(11, 99)}) {rng.randint(2000, 3999)}-{rng.randint(0, 9999):04d}")


COMMERCIAL = [
    ("F001", "José da Conceição & Cia. Ltda", "J", "MAT", "Conceição & Cia", "CP"),
    ("F002", "Açúcar União S/A", "J", "MAT", "Açúcar União", "P"),
    ("F003", "Pão de Queijo D'Ouro Ltda", "J", "MAT", "D'Ouro", "P"),
    ("F004", "DISTRIBUIDORA IRMÃOS GONÇALVES LTDA", "J", "MAT", None, "P"),
    ("F005", "Café Serra Azul S.A.", "J", "MAT", "Serra Azul", "CP"),
    ("F006", "TECELAGEM SÃO JOÃO BATISTA LTDA", "J", "MAT", None, "P"),
    ("F007", "Ótica Visão & Cia", "J", "SERV", "Ótica Visão", "P"),
    ("F008", "Metalúrgica Nóbrega Ltda - EPP", "J", "MAT", "Nóbrega", "P"),
    ("F009", "Transportes Pégaso Ltda", "J", "TRANSP", "Pégaso", "CP"),
    ("F010", "GRÁFICA ÍMPAR LTDA ME", "J", "SERV", None, "P"),
    ("F011", "Laticínios Boa Esperança S/A", "J", "MAT", "Boa Esperança", "P"),
    ("F012", "Papelaria Estrela d'Alva Ltda", "J", "MAT", "Estrela d'Alva", "P"),
    ("F013", "Móveis Araújo & Filhos Ltda", "J", "MAT", "Araújo & Filhos", "P"),
    ("F014", "FRIGORÍFICO SUL-MINEIRO S.A.", "J", "MAT", None, "P"),
    ("F015", "Água Mineral Fonte Límpida Ltda", "J", "MAT", "Fonte Límpida", "P"),
    ("F016", "Comércio de Ferragens Nº 1 Ltda", "J", "MAT", "Ferragens Nº 1", "P"),
    ("F017", "Serviços de Limpeza Brilho+ Ltda", "J", "SERV", "Brilho+", "P"),
    ("F018", "Assessoria Contábil Ribeiro & Sá S/S", "J", "SERV", "Ribeiro & Sá", "CP"),
    ("F019", "Tecnologia Ágil Informática Ltda", "J", "SERV", "Ágil TI", "P"),
    ("F020", "CERÂMICA ITÚ LTDA", "J", "MAT", None, "P"),
    ("F021", "Auto Peças Irmãos Müller Ltda", "J", "MAT", "Müller Peças", "P"),
    ("F022", "Padaria Pão Nosso Ltda-ME", "J", "MAT", "Pão Nosso", "P"),
    ("F023", "Segurança Patrimonial Águia Dourada", "J", "SERV", "Águia Dourada", "P"),
    ("F024", "Editora Letras & Números Ltda", "J", "SERV", "Letras & Números", "P"),
    ("F025", "Restaurante Sabor d'Itália Ltda", "J", "SERV", "Sabor d'Itália", "P"),
    ("F026", "Uniformes São Cristóvão Eireli", "J", "MAT", "São Cristóvão", "P"),
    ("F027", "Locadora de Veículos Rápido 100% Ltda", "J", "TRANSP", "Rápido 100%", "P"),
    ("F028", "Embalagens #1 Plásticos Ltda", "J", "MAT", "Embalagens #1", "P"),
    ("F029", "Manutenção Predial Alicerce (SP) Ltda", "J", "SERV", "Alicerce", "E"),
    ("F030", "Consultoria Fênix Gestão Ltda", "J", "SERV", "Fênix", "blank"),
    ("F031", "Hortifrúti Colheita Fresca Ltda", "J", "MAT", "Colheita Fresca", ""),
    ("F032", "Cooperativa Agrícola Vale Verde", "J", "MAT", "Vale Verde", "P"),
]
PERSONS = [
    ("F101", "Maria Aparecida dos Santos", "P"),
    ("F102", "João Carlos Peçanha", "P"),
    ("F103", "Antônio Gonçalves Júnior", "CP"),
    ("F104", "Luíza Helena Câmara", "P"),
    ("F105", "Márcio Ângelo Bastos", "P"),
    ("F106", "Conceição de Fátima Lopes", "P"),
    ("F107", "Raimundo Nonato Araújo", "P"),
    ("F108", "Fernanda Sá Brandão", "P"),
]
UTILITIES = [
    ("U001", "Cia. Energética Paulistana S/A", "3", "0381", "SAO PAULO"),
    ("U002", "Saneamento Básico do Estado S.A.", "2", "0097", "SAO PAULO"),
    ("U003", "Gás Natural Canalizado Comgaz S.A.", "3", "0116", "SAO PAULO"),
    ("U004", "Telefônica Nacional S.A.", "4", "0162", "SAO PAULO"),
    ("U005", "Claridade Telecomunicações S.A.", "4", "0296", "RIO DE JANEIRO"),
    ("U006", "Luz & Força Fluminense S.A.", "3", "0053", "RIO DE JANEIRO"),
]
GOVERNMENT = [
    ("RFB", "Receita Federal do Brasil", "O"),
    ("INSS", "Instituto Nacional do Seguro Social", "O"),
    ("FGTS", "Caixa Econômica Federal - FGTS", "O"),
    ("SEFAZRJ", "Secretaria de Estado de Fazenda do RJ", "O"),
    ("PMSP", "Prefeitura do Município de São Paulo", "O"),
    ("SEFAZSP", "Secretaria da Fazenda do Estado de SP", "O"),
    ("GNRE", "GNRE - Secretaria da Fazenda de MG", "O"),
    ("DPVAT", "Seguradora Líder do Consórcio DPVAT", "J"),
]

for i, (code, name, ptype, group, trade, addr) in enumerate(COMMERCIAL):
    supplier(code, name, ptype, group, trade=trade or name.split(" ")[0].title(),
             address=addr, masked=(i % 4 != 3))
for i, (code, name, addr) in enumerate(PERSONS):
    supplier(code, name, "F", "PF", trade=name.split(" ")[0], address=addr,
             masked=(i % 3 != 2))
for code, name, _, _, city in UTILITIES:
    supplier(code, name, "J", "UTIL", trade=name.split(" ")[0].rstrip("."), city=city)
for code, name, ptype in GOVERNMENT:
    city = "RIO DE JANEIRO" if code == "SEFAZRJ" else "BRASILIA" \
        if code in ("RFB", "INSS", "FGTS") else "SAO PAULO"
    supplier(code, name, ptype, "TRIB", trade=code, city=city)
UTILITY_INFO = {code: (seg, org) for code, _, seg, org, _ in UTILITIES}

GOODS = [c for c, *_ in COMMERCIAL if c not in ("F029", "F030", "F031")]
WITH_ADDRESS = [c for c, _, _, _, _, a in COMMERCIAL if a in ("P", "CP")]
PEOPLE = [c for c, _, _ in PERSONS]

# PIX keys of the payees: one of each kind, by key type "01" phone, "02"
# e-mail, "03" CPF/CNPJ, "04" random key.
PIX_KEYS = {}


def plain(word):
    """Lower-case letters and digits of a word, without accents."""
    text = unicodedata.normalize("NFKD", word.lower())
    return "".join(c for c in text if c.isascii() and c.isalnum())


def pix_key(code, kind):
    key = (code, kind)
    if key not in PIX_KEYS:
        s = SUPPLIERS[code]
        if kind == "01":
            value = f"+55{rng.choice([11, 19, 21, 31, 41])}9{rng.randint(10000000, 99999999)}"
        elif kind == "02":
            words = [plain(w) for w in s["name"].split(" ") if len(w) > 3]
            if s["type"] == "F":
                value = f"{words[0]}.{words[-1]}@email.com.br"
            else:
                value = f"financeiro@{words[0]}{words[1] if len(words) > 1 else ''}.com.br"
        elif kind == "03":
            value = s["reg"]
        else:
            value = str(uuid.UUID(int=rng.getrandbits(128), version=4))
        PIX_KEYS[key] = value
    return PIX_KEYS[key]


PAYEE_ACCOUNTS = {}


def payee_account(code, bank):
    """The supplier's account at a bank (the same one every time)."""
    key = (code, bank)
    if key not in PAYEE_ACCOUNTS:
        op = "0001" if bank == "104" else ""
        agency = make_agency(bank)
        account = make_account(bank, agency, op)
        shown = show_account(bank, account) if rng.random() < 0.6 else account
        PAYEE_ACCOUNTS[key] = (agency, shown)
    return PAYEE_ACCOUNTS[key]


# ---------------------------------------------------------------------------
# Slips

NEXT_ENTRY = Counter()
NEXT_INVOICE = Counter()
NEXT_DOC = [4100]
NOTES = []          # (case, slip key, description) for the guide

BRANCH_OF_COMPANY = {"01": ["0001"] * 4 + ["0002"], "02": ["0003"]}


def slip_key(s):
    return f"{s['CDFILIBPAG']}:{s['NRLANBOLPAG']}"


def new_slip(account, mode, supplier_code, cents, due, branch=None, kind=None,
             **fields):
    """A slip of an account, numbered in its branch (a head-office or branch
    slip at random unless `branch` is given); empty fields are left out."""
    acc = ACCOUNTS[account]
    comp = acc["CDEMPRESA"]
    branch = branch or rng.choice(BRANCH_OF_COMPANY[comp])
    NEXT_ENTRY[branch] += 1
    entry = f"{NEXT_ENTRY[branch]:010d}"
    if kind is None:
        kind = KIND_OF_MODE.get(mode) if mode else None
    s = OrderedDict()
    s["CDFILIBPAG"] = branch
    s["NRLANBOLPAG"] = entry
    s["CDEMPRESA"] = comp
    s["CDFILIAL"] = branch
    s["CDFORNECED"] = supplier_code
    s["CDREDUCONT"] = account
    if kind:
        s["CDTPBAIXAPAG"] = kind
    s["VRFINALBPAG"] = money(cents)
    s["DTVENBOLPAG"] = iso(due)
    for k, v in fields.items():
        if v is not None:
            s[k] = v
    T["slips"].append(s)
    s["_mode"] = mode
    s["_cents"] = cents
    return s


def payables(s, cents, parts=None, document=None, invoice=True, received_by=None,
             adjust=None):
    """The payables of a slip (summing with the adjustments to `cents`, the
    slip's value, unless the caller wants otherwise) and the invoices behind
    them, with the branch that received each invoice."""
    branch = s["CDFILIBPAG"]
    adjustments = []
    if adjust is None:
        adjust = []
        if rng.random() < 0.22:
            kind = rng.choice(["DESCONTO", "JUROS", "MULTA", "ABATIMENTO"])
            value = max(1, cents * rng.randint(1, 6) // 100)
            if kind in ("DESCONTO", "ABATIMENTO"):
                adjust.append((-value, f"{kind} POR PAGAMENTO EM DIA" if kind == "DESCONTO" else "ABATIMENTO COMERCIAL"))
            else:
                adjust.append((value, "JUROS DE MORA" if kind == "JUROS" else "MULTA POR ATRASO 2%"))
    for value, text in adjust:
        adjustments.append(value)
        row("slip_adjustments", CDFILIBPAG=branch, NRLANBOLPAG=s["NRLANBOLPAG"],
            VRAJUSTE=money(value), DSAJUSTE=text)
    base = cents - sum(adjustments)
    if parts is None:
        parts = rng.choices([1, 2, 3], weights=[70, 20, 10])[0]
    if base < parts * 100:
        parts = 1
    cuts = sorted(rng.sample(range(1, base), parts - 1)) if parts > 1 else []
    values = [b - a for a, b in zip([0] + cuts, cuts + [base])]
    due = dt.date.fromisoformat(s["DTVENBOLPAG"])
    for value in values:
        NEXT_DOC[0] += rng.randint(1, 37)
        number = f"{NEXT_DOC[0]:07d}"
        series = rng.choice(["1", "1", "1", "2", "U"])
        doc = document or f"{number}/{series}"
        row("slip_payables", CDFILIBPAG=branch, NRLANBOLPAG=s["NRLANBOLPAG"],
            FILORIG=branch, DOCUMENTO=doc, VRCONTA=money(value))
        if invoice:
            NEXT_INVOICE[branch] += 1
            inv_entry = f"{NEXT_INVOICE[branch]:010d}"
            row("invoices", CDFILIAL=branch, NRLANCTONF=inv_entry,
                CDFILIBPAG=branch, NRLANBOLPAG=s["NRLANBOLPAG"],
                NRNOTAFISC=number, CDSERIEENTR=series,
                DTEMISSAO=iso(due - dt.timedelta(days=rng.randint(10, 45))),
                VRDOC=money(value))
            row("receiving_branches", CDFILIAL=branch, NRLANCTONF=inv_entry,
                CDFILIRECE=received_by or branch)
            s.setdefault("_invoices", []).append((branch, inv_entry))


def pick_due(lo=-13, hi=17):
    return day(rng.randint(lo, hi))


ISSUERS = ["001", "237", "341", "033", "104", "756", "748", "399", "422",
           "041", "077", "208", "336"]


def bank_slip(account, supplier_code=None, cents=None, due=None, issuer=None,
              form="both", drawer=False, barcode_cents=None, formatted=None,
              **extra):
    """A bank slip (mode "B"): barcode and/or typed line of a slip issued by
    `issuer` (the paying bank itself about half the time)."""
    acc = ACCOUNTS[account]
    bank = acc["CDBANCO"]
    hint = None
    if issuer is None:
        share = 0.6 if bank == "409" else 0.45
        issuer = bank if rng.random() < share else rng.choice(ISSUERS)
    if issuer == "409":
        hint = rng.choice(["own", "own", "uni", "other"])
    supplier_code = supplier_code or rng.choice(GOODS + PEOPLE[:3])
    cents = cents if cents is not None else rng.choice(
        [cents_between(80, 900), cents_between(900, 6000), cents_between(6000, 28000)])
    due = due or pick_due()
    free, number = free_field(issuer, hint)
    code = bank_slip_barcode(issuer, due, barcode_cents or cents, free)
    fields = dict(CDNOSNUMPAG=number, FATORVENC=due_factor(due))
    if form in ("both", "code"):
        fields["CDBARRAPAG"] = code
    if form in ("both", "line"):
        if formatted is None:
            formatted = bank != "409" and rng.random() < 0.3
        fields["DSLINHBARPAG"] = typed_line(code, formatted=formatted)
    if drawer:
        fields["IDTPICNABBOP"] = "J"
        fields["NRINSCNABBOP"] = mask_cnpj(DRAWER_CNPJ)
    kind = "01" if issuer == bank else "21"
    fields.update(extra)
    s = new_slip(account, "B", supplier_code, cents, due, kind=kind, **fields)
    return s


DRAWER_CNPJ = cnpj("112233440001")   # a factoring company holding some slips


def utility_bill(account, cents=None, due=None, supplier_code=None, **extra):
    supplier_code = supplier_code or rng.choice(list(UTILITY_INFO))
    segment, org = UTILITY_INFO[supplier_code]
    cents = cents if cents is not None else cents_between(45, 2400)
    due = due or pick_due()
    value_type = rng.choice(["6", "8"])
    free = random_digits(9) + due.strftime("%Y%m%d") + random_digits(8)
    code = utility_barcode(segment, value_type, cents, org, free)
    return new_slip(account, "R", supplier_code, cents, due,
                    CDBARRAPAG=code, DSLINHBARPAG=utility_typed_line(code), **extra)


def government_barcode(cents, org, due, segment="5"):
    free = random_digits(9) + due.strftime("%Y%m%d") + random_digits(8)
    return utility_barcode(segment, "8", cents, org, free)


def period_end(due):
    """Last day of the month before the due date's month."""
    return due.replace(day=1) - dt.timedelta(days=1)


def tax_slip(account, mode, due=None, barcoded=False, **extra):
    """Tax payments. Values: principal + fine + interest = VRFINALBPAG (GPS:
    INSS + other entities + fine + interest). A barcoded DARF carries its
    value in the barcode, without fine and interest."""
    due = due or pick_due(-5, 20)
    period = period_end(due)
    fine = interest = 0
    if rng.random() < 0.3 and not barcoded:
        fine = rng.randint(500, 9000)
        interest = rng.randint(100, 4000)
    fields = OrderedDict()
    guides = []
    if mode == "I":      # DARF
        code = rng.choice(["1708", "0561", "5952", "2089", "2372", "8109", "2172"])
        principal = cents_between(180, 18000)
        cents = principal + fine + interest
        fields.update(CDRECEITAGUIA=code, DTAPURACGUIA=iso(period),
                      NRREFEGUIA=random_digits(rng.choice([0, 17])) or None,
                      VRMULTABPAG=money(fine), VRMORDIABPAG=money(interest))
        if barcoded:
            bar = government_barcode(cents, "0064", due)
            fields.update(CDBARRAPAG=bar, DSLINHBARPAG=utility_typed_line(bar))
        supplier_code = "RFB"
        guides.append(("01" if code in ("1708", "0561") else "02", code, principal))
    elif mode == "H":    # DARF Simples: gross revenue x percentage
        gross = rng.choice([4800000, 6250000, 12000000, 3840000, 9600000])
        pct = rng.choice(["4.00", "4.50", "6.00", "7.30", "11.20"])
        principal = int(Decimal(gross) * Decimal(pct) / 100)
        cents = principal + fine + interest
        fields.update(CDRECEITAGUIA="6106", DTAPURACGUIA=iso(period),
                      VROUTRENTGUIA=money(gross), VRPERCENTTRIB=pct,
                      VRMULTABPAG=money(fine), VRMORDIABPAG=money(interest))
        supplier_code = "RFB"
    elif mode == "G":    # GPS
        code = rng.choice(["2100", "2100", "2003", "2631"])
        inss = cents_between(900, 32000)
        others = inss * rng.choice([0, 0, 58, 45]) // 200
        cents = inss + others + fine + interest
        fields.update(CDRECEITAGUIA=code, DTAPURACGUIA=iso(period),
                      VROUTRENTGUIA=money(others), VRMULTABPAG=money(fine),
                      VRMORDIABPAG=money(interest))
        supplier_code = "INSS"
        guides.append(("05", code, inss + others))
    elif mode == "J":    # DARJ (ICMS RJ)
        principal = cents_between(300, 15000)
        cents = principal + fine + interest
        fields.update(CDRECEITAGUIA="0310", DTAPURACGUIA=iso(period),
                      CDINSCESTA=str(rng.randint(10000000, 99999999)),
                      VRMULTABPAG=money(fine), VRMORDIABPAG=money(interest))
        supplier_code = "SEFAZRJ"
    elif mode in ("K", "V"):   # DPVAT / IPVA: the vehicle's RENAVAM as reference
        cents = cents_between(90, 3500) if mode == "V" else rng.choice([10563, 6374, 29458])
        fields.update(NRREFEGUIA=random_digits(11),
                      NRPARCELNOTIFIC=f"{rng.randint(1, 3):013d}" if mode == "V" else None,
                      DTAPURACGUIA=iso(dt.date(2026, 1, 1)))
        if mode == "V":
            fields["CDRECEITAGUIA"] = "1000"
        supplier_code = "DPVAT" if mode == "K" else "SEFAZSP"
    elif mode == "N":    # municipal tax with barcode (IPTU/ISS)
        cents = cents_between(150, 6000)
        code = government_barcode(cents, "0010", due, segment="1")
        fields.update(CDBARRAPAG=code, DSLINHBARPAG=utility_typed_line(code),
                      NRREFEGUIA=random_digits(11),
                      NRPARCELNOTIFIC=f"{rng.randint(1, 10):013d}")
        supplier_code = "PMSP"
    elif mode == "Q":    # GNRE with barcode
        cents = cents_between(200, 9000)
        code = government_barcode(cents, "0213", due)
        fields.update(CDBARRAPAG=code, DSLINHBARPAG=utility_typed_line(code),
                      CDRECEITAGUIA="1000", CDINSCESTA=str(rng.randint(100000000, 999999999)),
                      NRREFEGUIA=random_digits(12))
        supplier_code = "GNRE"
    elif mode == "U":    # FGTS with barcode and seal
        cents = cents_between(800, 26000)
        code = government_barcode(cents, "0179", due)
        fields.update(CDBARRAPAG=code, DSLINHBARPAG=utility_typed_line(code),
                      CDRECEITAGUIA="0115", NRREFEGUIA=random_digits(16),
                      NRLACRCONECTSOC=random_digits(9),
                      NRDIGICONECTSOC=random_digits(2),
                      DTAPURACGUIA=iso(period))
        supplier_code = "FGTS"
    else:
        raise ValueError(mode)
    fields.update(extra)
    s = new_slip(account, mode, supplier_code, cents, due, **fields)
    doc = {"I": f"DARF {period:%m/%Y}", "H": f"DAS {period:%m/%Y}",
           "G": f"GPS {period:%m/%Y}", "J": None, "K": "DPVAT 2026",
           "V": "IPVA 2026", "N": f"IPTU {due:%m/%Y}", "Q": f"GNRE {period:%m/%Y}",
           "U": f"FGTS {period:%m/%Y}"}[mode]
    payables(s, cents, parts=1, document=doc, invoice=(mode == "J"), adjust=[])
    for tax, revenue, value in guides:
        own = [i for i in SERVICE_INVOICES
               if BRANCHES[i[0]]["CDEMPRESA"] == s["CDEMPRESA"]]
        link = rng.choice(own) if own and tax == "01" else (None, None)
        row("tax_guides", CDFILIBPAG=s["CDFILIBPAG"], NRLANBOLPAG=s["NRLANBOLPAG"],
            CDIMPOSTO=tax, NRSEQUMAPAPU=f"{len(T['tax_guides']) + 1:010d}",
            CDRECEGUIA=revenue, CDFILIAL=link[0], NRLANCTONF=link[1],
            DTFIMPERIODO=iso(period), DTVENCMAPA=iso(due),
            VRMULTAGUIA=money(fine), VRJUROGUIA=money(interest),
            VRRECEGUIA=money(value))
    return s


SERVICE_INVOICES = []   # invoices of service suppliers, for the DARF guides


def transfer(account, mode, payee_bank=None, cents=None, supplier_code=None,
             kind=None, due=None, **extra):
    acc = ACCOUNTS[account]
    bank = acc["CDBANCO"]
    if payee_bank is None:
        others = [b for b in BANKS if b != bank]
        payee_bank = bank if mode == "C" else rng.choice(others)
    supplier_code = supplier_code or rng.choice(GOODS + PEOPLE)
    if cents is None:
        cents = cents_between(150, 4800) if mode == "D" else \
            rng.choice([cents_between(150, 3000), cents_between(3000, 45000)])
    agency, number = payee_account(supplier_code, payee_bank)
    fields = dict(CDBANCBOLP=payee_bank, CDAGENBOLP=agency, CDCCORBOLP=number)
    fields.update(extra)
    return new_slip(account, mode, supplier_code, cents, due or pick_due(),
                    kind=kind, **fields)


def payment_order(account, supplier_code=None, with_bank=True, **extra):
    acc = ACCOUNTS[account]
    supplier_code = supplier_code or rng.choice(WITH_ADDRESS + ["F101", "F103"])
    fields = dict(CDBANCBOLP=acc["CDBANCO"]) if with_bank else {}
    fields.update(extra)
    return new_slip(account, "O", supplier_code, cents_between(200, 9000),
                    pick_due(), **fields)


# Merchant name and city of the QR codes: short, so that the whole code
# fits the 100 characters of the slip's field.
QR_NAMES = {"F101": ("MARIA", "RIO"), "F102": ("JOAO", "NATAL"),
            "F104": ("LUIZA", "RIO"), "F105": ("MARCIO", "ICO"),
            "F107": ("NONATO", "ICO")}


def pix(account, mode, key_kind=None, supplier_code=None, **extra):
    """PIX: "F" by key (or by the payee's account when key_kind is None),
    "Z" by QR code (the key it carries is given too)."""
    fields = {}
    if mode == "Z":
        supplier_code = supplier_code or rng.choice(list(QR_NAMES))
        key = pix_key(supplier_code, "03")
        name, city = QR_NAMES[supplier_code]
        fields.update(IDCHAVEPIX="03", CHAVEPIX=key, CODEQRPIX=pix_qr(key, name, city))
    else:
        supplier_code = supplier_code or rng.choice(GOODS[:12] + PEOPLE)
        if key_kind:
            fields.update(IDCHAVEPIX=key_kind, CHAVEPIX=pix_key(supplier_code, key_kind))
        else:
            bank = rng.choice(["260", "077", "336", "001", "104", "341", "237"])
            agency, number = payee_account(supplier_code, bank)
            fields.update(CDBANCBOLP=bank, CDAGENBOLP=agency, CDCCORBOLP=number)
    fields.update(extra)
    return new_slip(account, mode, supplier_code, cents_between(30, 7500),
                    pick_due(-6, 12), **fields)


def finish(s, **kw):
    """Payables and invoices for a slip made by the helpers above."""
    if s["_mode"] in ("G", "I", "H", "J", "K", "N", "Q", "U", "V"):
        return s
    payables(s, s["_cents"], **kw)
    if SUPPLIERS[s["CDFORNECED"]]["group"] == "SERV" and s.get("_invoices"):
        SERVICE_INVOICES.extend(s["_invoices"])
    return s


def note(case, s, text):
    NOTES.append((case, slip_key(s), s["CDREDUCONT"], text))


# --- the everyday slips of each account --------------------------------------

# mode counts per account: (B, C, D, T, S, O, R, taxes..., PIX)
MIX = {
    "001": dict(B=14, C=3, D=3, T=3, S=1, O=2, R=4, U=1, G=2, H=1, I=3, J=1),
    "002": dict(B=12, C=3, D=2, T=3, S=1, R=3, Q=1, G=2, H=1, I=2, J=1, K=1,
                N=1, U=1, V=1, F=5, Z=2),
    "003": dict(B=14, C=3, D=2, T=3, O=2, R=2, G=1, I=1),
    "004": dict(B=12, C=3, D=2, T=2, O=2, R=3, I=2, U=1, G=1, H=1, F=4, Z=2),
    "005": dict(B=5, C=2, T=2, R=1, G=1),
    "006": dict(B=4, C=1, T=2, D=1, R=1),
    "007": dict(B=4, C=1, T=2, D=1, R=1),
    "008": dict(B=4, C=1, T=2, D=1),
    "009": dict(B=4, C=1, T=2, D=1),
    "010": dict(B=3, C=2, T=2, D=1),
    "011": dict(B=5, C=1, T=2, R=1, G=1, I=1, H=1),
    "012": dict(B=4, C=1, T=2, D=1),
    "013": dict(B=6, C=1, T=2),
    "014": dict(B=4, C=1, T=1, O=1),
    "015": dict(B=4, C=1, T=2, D=1),
    "016": dict(B=5, C=1, T=2, D=1),
    "017": dict(B=4, C=1, T=2),
    "018": dict(B=6, C=2, D=1, T=2, R=2),
    "019": dict(B=4, C=1, T=2, D=1),
    "020": dict(B=3, C=1, T=2),
    "021": dict(B=6, C=2, T=2, D=1),
    "022": dict(B=4, C=1, T=2, R=1),
    "023": dict(B=4, C=1, T=2, O=1),
    "031": dict(B=7, C=1, T=2, D=1, R=1, G=1, H=1, I=1, U=1, F=3, Z=1),
    "032": dict(B=4, C=1, T=1, D=1, R=1, G=1, I=1),
}
ORDER = ["B", "C", "D", "T", "S", "O", "R", "G", "H", "I", "J", "K", "N", "Q",
         "U", "V", "F", "Z"]
PIX_KEY_KINDS = ["03", "02", "01", "04", None]

for account, mix in MIX.items():
    bank = ACCOUNTS[account]["CDBANCO"]
    modes = [m for m in ORDER for _ in range(mix.get(m, 0))]
    rng.shuffle(modes)
    b_seen = 0
    f_seen = 0
    for mode in modes:
        if mode == "B":
            b_seen += 1
            form = "both"
            if b_seen % 6 == 0:
                form = "line"
            elif b_seen % 11 == 0:
                form = "code"
            s = bank_slip(account, form=form, drawer=(b_seen == 5),
                          IDBPAGREAL="S" if b_seen % 3 == 0 else None)
            finish(s)
        elif mode in ("C", "D", "T", "S"):
            kind = None
            if mode == "D" and rng.random() < 0.35:
                kind = "15"
            s = transfer(account, mode, kind=kind)
            finish(s)
        elif mode == "O":
            finish(payment_order(account))
        elif mode == "R":
            finish(utility_bill(account))
        elif mode in ("F", "Z"):
            if mode == "F":
                kk = PIX_KEY_KINDS[f_seen % len(PIX_KEY_KINDS)]
                f_seen += 1
                finish(pix(account, "F", key_kind=kk))
            else:
                finish(pix(account, "Z"))
        else:
            # DAS (DARF Simples) of company 01 belong to branch 0002, a
            # company of its own that is in the Simples regime.
            branch = "0002" if mode == "H" and account < "030" else None
            tax_slip(account, mode, branch=branch)

# DARF with barcode at the banks whose layouts pay it by barcode.
for account in ("004", "031"):
    tax_slip(account, "I", barcoded=True)

# --- slips that show a case ------------------------------------------------------

# The slips below are all the head office's, so that each one shows its case
# alone in a remittance of branch 0001 (a slip of branch 0002 would also meet
# the branch-root check there).
BRANCH_OF_COMPANY["01"] = ["0001"]

s = finish(bank_slip("002", issuer="341", cents=123456, barcode_cents=123000,
                     supplier_code="F004"),
           parts=1, adjust=[(456, "JUROS DE MORA")])
note("surcharge", s, "bank slip paid with interest: 1,234.56 against a barcode "
     "of 1,230.00 (surcharge 4.56 in the files)")
s = finish(bank_slip("001", issuer="001", cents=98000, barcode_cents=100000,
                     supplier_code="F005"),
           parts=1, adjust=[(-2000, "DESCONTO POR PAGAMENTO EM DIA")])
note("discount", s, "bank slip paid with a discount: 980.00 against a barcode of 1,000.00")
s = finish(bank_slip("001", supplier_code="F002", form="line", issuer="237",
                     formatted=True))
note("typed line", s, "bank slip with only its typed line, written with points and blanks")

# Refusals when a slip is marked.
s = finish(new_slip("001", "B", "F006", 45890, pick_due(), kind="01"))
note("CODI_BAR_NAO_INF", s, "bank slip with neither barcode nor typed line")
code = utility_barcode("2", "6", 31275, "0097", random_digits(25))
s = finish(new_slip("002", "B", "F010", 31275, pick_due(), kind="01", CDBARRAPAG=code))
note("Bol_CodBarra_Inv", s, "bank slip whose barcode starts with 8 (a utility bill's)")
due = pick_due()
code = bank_slip_barcode("341", due, 18790, free_field("341")[0])
s = finish(new_slip("002", "R", "U004", 18790, due, CDBARRAPAG=code))
note("Conc_CodBarra_Inv", s, "utility bill whose barcode is a bank slip's")
s = finish(utility_bill("021", supplier_code="U002"))
note("Conc_Banco_Inv", s, "utility bill on the SICOOB account (agreement standard 0)")
s = tax_slip("012", "G")
note("Tributo_Banc_Inv", s, "GPS on the Safra account (agreement standard 0)")
s = tax_slip("018", "I")
note("Tributo_Banc_Inv", s, "DARF on the Caixa account (agreement standard 0)")
s = tax_slip("001", "I")
del s["CDRECEITAGUIA"]
note("BOL_RECEITA", s, "DARF without revenue code")
s = tax_slip("002", "G", CDRECEITAGUIA="")
note("BOL_RECEITA", s, "GPS with an empty revenue code")
s = finish(transfer("001", "C", payee_bank="237", supplier_code="F007"))
note("TpBaixa_Inv_Boleto", s, "credit in account (C) to another bank")
s = finish(transfer("002", "T", payee_bank="341", supplier_code="F008"))
note("TpBaixa_Inv_Boleto", s, "TED (T) to the paying bank itself")
s = finish(transfer("003", "D", payee_bank="001", cents=500000, supplier_code="F011"))
note("TpBaixa_Inv_Boleto", s, "DOC of exactly 5,000.00 with the default limit")
s = finish(transfer("003", "D", payee_bank="104", cents=499999, supplier_code="F012"))
note("DOC limit", s, "DOC of 4,999.99 with the default limit: accepted")
s = finish(transfer("001", "D", payee_bank="341", cents=499999, supplier_code="F013", kind="15"))
note("TpBaixa_Inv_Boleto", s, "DOC of 4,999.99 on kind 15, whose limit is 4,999.99")
s = finish(transfer("001", "D", payee_bank="033", cents=500001, supplier_code="F014"))
note("TpBaixa_Inv_Boleto", s, "DOC of 5,000.01 with the default limit")
s = finish(transfer("004", "T", supplier_code="F015", CDAGENBOLP=""))
note("CCFORN_INF", s, "TED without the payee's agency")
s = finish(new_slip("004", "C", "F016", 72000, pick_due()))
note("CCFORN_INF", s, "credit in account without any payee data")
s = finish(payment_order("001", supplier_code="F031"))
note("Ende_Empty", s, "payment order to a supplier without address")
s = finish(payment_order("003", supplier_code="F029"))
note("Ende_Empty", s, "payment order to a supplier with only a delivery address (type E)")
s = finish(payment_order("004", supplier_code="F030"))
note("Ende_Empty", s, "payment order to a supplier whose main address has no street")
s = finish(payment_order("018", supplier_code="F009"))
note("OrdemPgto_Inv", s, "payment order on the Caixa account")
s = finish(payment_order("001", supplier_code="F018", CDBANCBOLP="237"))
note("TpBaixa_Inv_Boleto", s, "payment order naming another bank than the paying one")
s = finish(payment_order("014", supplier_code="F103", with_bank=False))
note("payment order", s, "payment order without payee bank, on the Unibanco FEBRABAN account")
s = finish(pix("001", "F", key_kind="02"))
note("PIX_Inv", s, "PIX on the Banco do Brasil account")
s = finish(pix("005", "Z"))
note("PIX_Inv", s, "PIX QR code on the 353 account (only 033, 341 and 237 take PIX)")
s = finish(new_slip("002", None, "F017", 54321, pick_due()))
note("TpBaixa_Deve", s, "slip without payment kind")
s = finish(new_slip("001", "P", "F019", 80000, pick_due()))
note("BOLTPCOMP", s, "compensation between accounts (never sent)")
s = bank_slip("002", supplier_code="F020", cents=245000)
payables(s, 250000, parts=1, adjust=[])
note("ValorInv", s, "slip of 2,450.00 whose payable is 2,500.00 (no advance)")
s = transfer("001", "T", supplier_code="F021", cents=130500)
payables(s, 130000, parts=2, adjust=[(-1500, "DESCONTO COMERCIAL")])
note("ValorInv", s, "TED of 1,305.00 whose payables and discount make 1,300.00")

# Advances.
s = finish(bank_slip("001", supplier_code="F022", cents=120000), parts=1, adjust=[])
# Paid from the Citibank account: a listed advance stops a mark-all, and the
# Banco do Brasil account is the one the demo marks whole.
s["CDREDUCONT"] = "009"
row("advances", NRLANCANTECIPA="0000000001", CDFILIAL=s["CDFILIBPAG"],
    CDFORNECED="F022", VRLIQUANTECIPA="1500.00", DTVENCANTECIPA=iso(day(-20)),
    CDFILIBPAG=s["CDFILIBPAG"], NRLANBOLPAG=s["NRLANBOLPAG"])
note("ValorInv", s, "slip of 1,200.00 with a linked advance of 1,500.00")
s = finish(new_slip("002", "P", "F023", 95000, pick_due()), parts=1, adjust=[])
row("advances", NRLANCANTECIPA="0000000002", CDFILIAL=s["CDFILIBPAG"],
    CDFORNECED="F023", VRLIQUANTECIPA="1200.00", DTVENCANTECIPA=iso(day(-15)),
    CDFILIBPAG=s["CDFILIBPAG"], NRLANBOLPAG=s["NRLANBOLPAG"])
note("BOLTPCOMP", s, "compensation between accounts with a linked advance of 1,200.00")
s = transfer("003", "T", supplier_code="F024", cents=170000)
payables(s, 200000, parts=1, adjust=[])
row("advances", NRLANCANTECIPA="0000000003", CDFILIAL=s["CDFILIBPAG"],
    CDFORNECED="F024", VRLIQUANTECIPA="300.00", DTVENCANTECIPA=iso(day(-25)),
    CDFILIBPAG=s["CDFILIBPAG"], NRLANBOLPAG=s["NRLANBOLPAG"])
note("advance", s, "TED of 1,700.00 on a payable of 2,000.00 less an advance of "
     "300.00: the value check is skipped, the slip is accepted")
row("advances", NRLANCANTECIPA="0000000004", CDFILIAL="0001", CDFORNECED="F025",
    VRLIQUANTECIPA="650.00", DTVENCANTECIPA=iso(day(3)))

# Invoices received by a branch with another CNPJ root.
for account in ("001", "002", "003"):
    s = finish(bank_slip(account, supplier_code=rng.choice(GOODS), branch="0001"),
               received_by="0002")
    note("FILI_DIF", s, "head-office slip whose invoice was received by branch 0002 "
         "(another CNPJ root): refused in a remittance of branch 0001")

# Disabled slips: not offered while the settings say only enabled slips.
for account in ("001", "002"):
    s = finish(bank_slip(account, IDHABIBPAG="N"))
    note("disabled", s, "slip not enabled (IDHABIBPAG N): left out of the slip list when no slip filter is set up (the settings offer enabled slips only); the slip filter asks for all slips")

# Remittances already made.
REMITTANCES = [
    # company, number, account, branch, created, pay date, kind, schedule,
    # slips: (mode, situation)
    ("01", "0000000001", "002", "0001", "2026-11-25T10:42:00", "2026-11-27", "", "",
     [("B", "10"), ("B", "10"), ("C", "10"), ("T", "10"), ("R", "10"), ("B", "90")]),
    ("01", "0000000002", "003", "0001", "2026-11-27T16:05:00", None, "1", "1",
     [("B", "20"), ("B", "20"), ("T", "20"), ("B", "01")]),
    ("02", "0000000001", "031", "0003", "2026-11-26T09:30:00", None, "3", "",
     [("B", "10"), ("G", "10")]),
]
SEQ = Counter()
for comp, number, account, branch, created, paydate, rkind, sched, items in REMITTANCES:
    acc = ACCOUNTS[account]
    total = 0
    slips = []
    for mode, situation in items:
        due = day(rng.randint(-12, -7))
        if mode == "B":
            s = finish(bank_slip(account, due=due, branch=branch))
        elif mode == "R":
            s = finish(utility_bill(account, due=due, branch=branch))
        elif mode == "G":
            s = tax_slip(account, "G", due=due, branch=branch)
        else:
            s = finish(transfer(account, mode, due=due, branch=branch))
        s["IDSITUCNABP"] = situation
        s["NRCNABPAGREM"] = number
        if situation in ("20", "90", "01"):
            s["NRRETCNABPAG"] = random_digits(15)
        total += s["_cents"]
        slips.append(s)
        if situation == "90":
            note("Confirma_CancelaBaixa", s, f"paid through a return file (90) in "
                 f"remittance {comp}/{number}: cannot be taken out of it")
        elif situation == "01":
            note("Bol_Vinc_Rem", s, f"returned with error (01) in remittance "
                 f"{comp}/{number}: offered again, refused on confirming an inclusion")
        elif situation == "10" and mode == "C":
            note("bol_ja_env", s, f"sent (10) in remittance {comp}/{number}: marking "
                 f"it again asks whether to resend")
    SEQ[account] += 1
    row("remittances", CDEMPRESA=comp, NRCNABPAG=number, CDREDUCONT=account,
        CDOPERADOR="ANA", NMOPERADOR="ANA LIMA", CDBANCO=acc["CDBANCO"],
        CDBANCCNAB=acc["CDBANCO"], CDAGENCIA=acc["CDAGENCIA"],
        CDPICTAGEN=BANKS[acc["CDBANCO"]][1], CDCONTCORR=acc["CDCONTCORR"],
        CDPICTCONT=BANKS[acc["CDBANCO"]][2],
        DSCONTCORR=next(a["DSCONTCORR"] for a in T["accounts"] if a["CDREDUCONT"] == account),
        IDTPREMCNABPAG=rkind, IDAGENREMCNABPAG=sched, IDTIPCNABPAG="0",
        IDOPECNABPAG="I", DTCNABPAG=created, DTPAGREM=paydate,
        DSARQCNABPAG=f"remessas/{acc['CDBANCO']}-{comp}-{number}.txt",
        CDFILIAL=branch, NMFILIAL=BRANCHES[branch]["NMFILIAL"],
        DSARQBORDPAG="BORDPAG_ITAU.QR2" if acc["CDBANCO"] == "341" else "BORDPAG.QR2",
        VRTOTALCNABPAG=money(total), QTBOLCNABPAG=len(slips),
        NRSEQREMESSAPAG=f"{SEQ[account]:010d}")
    row("daily_file_counters", CDBANCO=acc["CDBANCO"], DTCNAB=created[:10], CTCNAB=1)

for name, value in [("CNABPAG01", 2), ("CNABPAG02", 1), ("REMESSAPAG002", 1),
                    ("REMESSAPAG003", 1), ("REMESSAPAG031", 1),
                    ("CTCNABPAG341", 1), ("CTCNABPAG237", 2)]:
    row("counters", CDCONTADOR=name, VRCONTADOR=value)

# The payment-list layouts (docs/report-layout.md) are kept beside the data
# as files of their own, ending with their version stamp.
LAYOUT_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "data", "relatorios")
for name, version in [("BORDPAG.QR2", "20260105"), ("BORDPAG_ITAU.QR2", "20260312")]:
    with open(os.path.join(LAYOUT_DIR, name), encoding="utf-8") as f:
        content = f.read()
    assert content.endswith(version + "#"), f"{name} does not end with its version stamp {version}#"
    row("report_layouts", DSARQRELATORIO=name, DTRELATORIO=f"{version[:4]}-{version[4:6]}-{version[6:]}T08:00:00",
        NRVERSAO=version, DSREFERENCIA=f"relatorios/pag/{name}",
        DSCONFIGREL="PAPEL=A4;ORIENTACAO=RETRATO", DSCONTEUDO=content)

for code, name in [("ANA", "ANA LIMA"), ("BRUNO", "BRUNO COSTA"),
                   ("CARLA", "CARLA MENDES")]:
    row("operators", CDOPERADOR=code, NMOPERADOR=name)
for op, comp in [("ANA", "01"), ("ANA", "02"), ("BRUNO", "01"), ("CARLA", "02")]:
    row("operator_companies", CDOPERADOR=op, CDEMPRESA=comp)
row("operator_permissions", CDOPERADOR="ANA", NMPERMISSAO="CancelaBolRemessa")
row("operator_permissions", CDOPERADOR="CARLA", NMPERMISSAO="CancelaBolRemessa")


# ---------------------------------------------------------------------------
# Output

def clean_rows():
    """Drops the generator's own bookkeeping (keys starting with "_")."""
    for rows in T.values():
        for r in rows:
            for k in [k for k in r if k.startswith("_")]:
                del r[k]


def render_json():
    out = ['{', ' "format": 1,']
    names = [n for n in T if T[n]]
    for i, name in enumerate(names):
        rows = T[name]
        out.append(f' "{name}": [')
        for j, r in enumerate(rows):
            text = json.dumps(r, ensure_ascii=False, separators=(", ", ": "))
            out.append("  " + text + ("," if j < len(rows) - 1 else ""))
        out.append(" ]" + ("," if i < len(names) - 1 else ""))
    out.append("}")
    return "\n".join(out) + "\n"


def render_doc(stats):
    return DOC_TEMPLATE.format(**stats)


def md_table(header, rows):
    lines = ["| " + " | ".join(header) + " |",
             "|" + "|".join("---" for _ in header) + "|"]
    lines += ["| " + " | ".join(str(c) for c in r) + " |" for r in rows]
    return "\n".join(lines)


DOC_TEMPLATE = """# The demo store

`pag00100 init --db STORE --demo` loads `data/demo.json` (the format is
`docs/import-format.md`). The file is written by `scripts/gen-demo-data.py`,
which also writes this page; run it again after changing it. Everything is
fixed: the same seed, the same dates, the same numbers on every run.

Use it with the processing date **2026-12-06** (`--date 2026-12-06`): the
settings offer slips due from 30 days before to 30 days after it, and the
slips fall due between {first_due} and {last_due}.

## Companies and branches

{companies}

Branch 0002 belongs to company 01 but has a CNPJ root of its own, so a slip
whose invoice it received cannot go into a remittance of branch 0001
(`FILI_DIF`). Branch parameters: invoice numbers of 7 digits at 0001, 9 at
0002, the default (7) at 0003.

Operators: **ANA** (companies 01 and 02, may take slips out of a remittance),
**BRUNO** (company 01 only, without that permission: `OPER_INV`, and `Emp_Nr`
on company 02), **CARLA** (company 02, with the permission). The settings ask
for the permission (`IDUTCTRLCANREMP` = "S") and offer only enabled slips
(`IDHABIBOLE` = "S").

## Accounts

One account of company 01 at every bank the dispatch table knows (two at 409
and two at 399, one per writer), and two of company 02 whose agreements use
the second standard (`IDPADRCNABPAG` = "2": Bradesco Multipag and Itaú
Risco). Agencies and accounts carry check digits by the bank's rule where it
is public (Banco do Brasil, Itaú, Bradesco, Caixa) and by a modulo-11 rule
elsewhere; the pictures are in the banks table. Phase "T" is a test account
(file sequence 1 to 10), "P" production.

{accounts}

Agreement standard "0" (no utility bills nor taxes unless the bank is one of
those that always take them) is set at every bank whose layouts carry no tax
payments; "1" at 001, 033, 353, 237, 341 and 748. The Citibank agreement has
no payment-list layout, so printing one of its remittances stops with
`MODBORDPAG_NC`. Layout rows say "0" (own layout) for account 013 and "1"
(FEBRABAN) for 014. Accounts 001, 004, 015 and 018 have a payer
identification of their own, which wins over the agreement code.

## Slips

{slip_count} slips: {slips_by_company}. By payment mode and payment kind:

{modes}

By account (only slips not yet sent):

{by_account}

Bank slips ("B") carry a 44-digit barcode with its modulo-11 check digit and
the due-date factor of the due date (days since 1997-10-07, starting again
at 1000 on 2025-02-22, so 2026-12-06 is factor 1652), and a 47-digit typed
line with its modulo-10 field check digits; the amount is the slip's value
except in the two cases named below. Issuers are
the paying bank itself about half of the time and other banks otherwise;
Banco do Brasil, Bradesco, Itaú, Santander, Caixa and SICOOB barcodes follow
the bank's own free-field arrangement (agency, account, wallet, number), and
the Unibanco ones include the bank's own slips (free field starting "04") and
the slips that Unibanco identifies by the barcode (free field starting "5").
Kind 01 is used when the slip is of the paying bank, 21 otherwise. Of the
{b_count} bank slips, {b_both} have both, {b_line} only the typed line ({b_fmt}
of them written with points and blanks), {b_code} only the barcode and
{b_none} neither; {b_drawer} name a drawer of their own (`IDTPICNABBOP`,
`NRINSCNABBOP`: a factoring company holding the slip).

Utility bills ("R") and barcoded taxes ("N", "Q", "U", and two DARFs) carry a
44-digit barcode starting with "8" (value type 6 or 7: modulo 10, 8: modulo
11) and the 48-digit typed line, without separators.

Tax slips: DARF ("I") with revenue code, period and, for some, a reference
number, fine and interest; DARF Simples ("H") with gross revenue
(`VROUTRENTGUIA`) and percentage (`VRPERCENTTRIB`, for instance "4.50" for
4.5 %), the value being gross x percentage + fine + interest; GPS ("G") with
payment code, competence and other entities' value (value = INSS + other
entities + fine + interest); DARJ ("J") with state registration and an
invoice behind it; FGTS ("U") with barcode, seal and its check digits; IPVA
("V") and DPVAT ("K") with the vehicle's RENAVAM as reference; municipal
taxes ("N") and GNRE ("Q") with barcode. DARF and GPS slips have their guide
rows (`tax_guides`); DARF guides of retained taxes point to a service
invoice.

Transfers ("C", "D", "T", "S") name the payee's bank, agency (digits, check
digit included) and account (with or without a "-" before the check digit).
"C" is at the paying bank, the others at other banks; DOCs use kind 14
(limit 0, that is 5,000.00) or kind 15 (limit 4,999.99).

PIX ("F", "Z") is only on accounts of banks 033, 341 and 237 (except the two
refusals below): "F" by key of each kind (`IDCHAVEPIX` "01" phone, "02"
e-mail, "03" CPF/CNPJ, "04" random key) or, without a key, by the payee's
account; "Z" with a QR code (`CODEQRPIX`, a static BR Code "000201..." of at
most 100 characters with its CRC) and the key it carries.

Values: the payables of each slip, with its adjustments (discounts, interest,
fines), add up to its value, except in the `ValorInv` and advance cases
below. {adj_count} slips have adjustments and {multi_count} more than one
payable; {inv_count} invoices stand behind the slips (one per payable, except
for tax slips, which have none but the DARJ ones), each received by its own
branch except for the `FILI_DIF` cases.

## Cases

Find a slip with `--slip BRANCH:ENTRY`. Each line below is one slip made to
show one thing; every other slip passes the checks when marked in a
remittance of its own account (for branch 0002's slips: a remittance of
branch 0002 or without branch).

{cases}

## Remittances already made

{remittances}

Counters: the next remittance numbers are 0000000003 (company 01) and
0000000002 (company 02); the file sequences of accounts 002, 003 and 031 have
reached 1.
"""


def stats():
    clean = [s for s in T["slips"]]
    modes = Counter()
    kinds = defaultdict(Counter)
    mode_of_kind = {k["CDTPBAIXAPAG"]: k["IDBAIXAUTILP"] for k in T["payment_kinds"]}
    name_of_kind = {k["CDTPBAIXAPAG"]: k["NMTPBAIXAPAG"] for k in T["payment_kinds"]}
    for s in clean:
        kind = s.get("CDTPBAIXAPAG", "")
        mode = mode_of_kind.get(kind, "(none)")
        modes[mode] += 1
        kinds[mode][kind] += 1
    mode_rows = []
    for mode in ORDER[:6] + ["P"] + ORDER[6:] + ["(none)"]:
        if modes[mode]:
            ks = ", ".join(f"{k} {name_of_kind[k]} ({n})" for k, n in sorted(kinds[mode].items()) if k)
            mode_rows.append((f'"{mode}"' if mode != "(none)" else mode, modes[mode], ks or "-"))
    per_account = defaultdict(Counter)
    for s in clean:
        if s.get("IDSITUCNABP", "00") == "00":
            per_account[s["CDREDUCONT"]][mode_of_kind.get(s.get("CDTPBAIXAPAG", ""), "-")] += 1
    acc_rows = []
    for a in T["accounts"]:
        code = a["CDREDUCONT"]
        c = per_account[code]
        text = ", ".join(f"{m} {c[m]}" for m in ORDER + ["P", "-"] if c[m])
        acc_rows.append((code, sum(c.values()), text))
    agreements = {(g["CDEMPRESA"], g["CDBANCO"]): g for g in T["agreements"]}
    accounts_rows = []
    for a in T["accounts"]:
        g = agreements[(a["CDEMPRESA"], a["CDBANCO"])]
        extra = []
        if a.get("IDLAYOUTCNAB"):
            extra.append(f'layout "{a["IDLAYOUTCNAB"]}"')
        if a.get("IDLAYCNABPAG"):
            extra.append(f'layout row "{a["IDLAYCNABPAG"]}"')
        if a.get("CDOPERCONTCORR"):
            extra.append(f'operation {a["CDOPERCONTCORR"]}')
        accounts_rows.append((
            a["CDREDUCONT"], a["CDEMPRESA"], a["CDBANCO"], a["NMBANCO"],
            f'{a["CDAGENCIA"]} ({a["CDPICTAGEN"]})',
            f'{a["CDCONTCORR"]} ({a["CDPICTCONT"]})', a["IDFASCNABPAG"],
            g["IDPADRCNABPAG"], g["CDEMPBANCPAG"] or "-",
            ", ".join(extra) or "-"))
    comp_rows = []
    for b in T["branches"]:
        comp = next(c for c in T["companies"] if c["CDEMPRESA"] == b["CDEMPRESA"])
        comp_rows.append((comp["CDEMPRESA"], comp["NMEMPRESA"], b["CDFILIAL"],
                          b["NMFILIAL"], b["NRINSJURFILI"],
                          "Simples" if comp["IDOPTSIMPLES"] == "S" else "-"))
    by_company = Counter(s["CDEMPRESA"] for s in clean)
    by_branch = Counter(s["CDFILIBPAG"] for s in clean)
    case_rows = [(c, f"`{k}`", a, t) for c, k, a, t in NOTES]
    rem_rows = []
    for r in T["remittances"]:
        sl = [s for s in clean if s.get("NRCNABPAGREM") == r["NRCNABPAG"]
              and s["CDEMPRESA"] == r["CDEMPRESA"]]
        sit = Counter(s["IDSITUCNABP"] for s in sl)
        rem_rows.append((f'{r["CDEMPRESA"]}/{r["NRCNABPAG"]}', r["CDREDUCONT"],
                         r["CDBANCO"], r["CDFILIAL"], r["DTCNABPAG"].replace("T", " "),
                         r["QTBOLCNABPAG"], r["VRTOTALCNABPAG"],
                         ", ".join(f'{n} in "{k}"' for k, n in sorted(sit.items())),
                         ", ".join(f"`{slip_key(s)}`" for s in sl)))
    dues = sorted(s["DTVENBOLPAG"] for s in clean)
    bslips = [s for s in clean if mode_of_kind.get(s.get("CDTPBAIXAPAG", "")) == "B"]
    payable_count = Counter((p["CDFILIBPAG"], p["NRLANBOLPAG"]) for p in T["slip_payables"])
    return dict(
        b_count=len(bslips),
        b_both=sum(1 for s in bslips if s.get("CDBARRAPAG") and s.get("DSLINHBARPAG")),
        b_line=sum(1 for s in bslips if not s.get("CDBARRAPAG") and s.get("DSLINHBARPAG")),
        b_fmt=sum(1 for s in bslips if not s.get("CDBARRAPAG") and " " in s.get("DSLINHBARPAG", "")),
        b_code=sum(1 for s in bslips if s.get("CDBARRAPAG") and not s.get("DSLINHBARPAG")),
        b_none=sum(1 for s in bslips if not s.get("CDBARRAPAG") and not s.get("DSLINHBARPAG")),
        b_drawer=sum(1 for s in bslips if s.get("NRINSCNABBOP")),
        adj_count=len({(a["CDFILIBPAG"], a["NRLANBOLPAG"]) for a in T["slip_adjustments"]}),
        multi_count=sum(1 for n in payable_count.values() if n > 1),
        inv_count=len(T["invoices"]),
        first_due=dues[0], last_due=dues[-1], slip_count=len(clean),
        slips_by_company=", ".join(
            f"{n} of company {c}" for c, n in sorted(by_company.items()))
        + " (" + ", ".join(f"branch {b}: {n}" for b, n in sorted(by_branch.items())) + ")",
        companies=md_table(["company", "name", "branch", "branch name", "CNPJ", "regime"], comp_rows),
        accounts=md_table(["account", "company", "bank", "bank name", "agency (picture)",
                           "account (picture)", "phase", "standard", "agreement", "notes"],
                          accounts_rows),
        modes=md_table(["mode", "slips", "payment kinds (slips)"], mode_rows),
        by_account=md_table(["account", "slips", "by mode"], acc_rows),
        cases=md_table(["case", "slip", "account", "what it shows"], case_rows),
        remittances=md_table(["company/number", "account", "bank", "branch", "made",
                              "slips", "total", "situations", "slips"], rem_rows))


def main():
    check = "--check" in sys.argv[1:]
    st = stats()
    clean_rows()
    outputs = {OUT_JSON: render_json(), OUT_DOC: render_doc(st)}
    changed = []
    for path, text in outputs.items():
        old = None
        if os.path.exists(path):
            with open(path, encoding="utf-8") as f:
                old = f.read()
        if old != text:
            changed.append(path)
            if not check:
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "w", encoding="utf-8") as f:
                    f.write(text)
    for path in changed:
        print(("would change: " if check else "wrote ") + os.path.relpath(path, ROOT))
    if check and changed:
        sys.exit(1)


if __name__ == "__main__":
    main()
