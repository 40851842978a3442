"""Sets what wixl leaves to chance in an MSI's summary stream: its two times
(creation and last save, which wixl takes from the clock and no option or
variable changes) and its package code (which wixl draws at random and
takes from no attribute), so that two builds of one commit give one file.

usage: python3 msi-summary.py PACKAGE.msi EPOCH PACKAGE-CODE

Through libmsi, the library wixl itself writes with (Debian's python3-gi and
gir1.2-libmsi-1.0); run by Debian's own python3, which has them.
"""
import sys

import gi

gi.require_version("Libmsi", "1.0")
from gi.repository import Libmsi  # noqa: E402

path, epoch, code = sys.argv[1], int(sys.argv[2]), sys.argv[3]
# A FILETIME counts tenths of microseconds since 1601-01-01 UTC.
filetime = (epoch + 11644473600) * 10_000_000
database = Libmsi.Database.new(path, Libmsi.DbFlags.TRANSACT, None)
summary = Libmsi.SummaryInfo.new(database, 0x7FFFFFFF)
summary.set_filetime(Libmsi.Property.CREATED_TM, filetime)
summary.set_filetime(Libmsi.Property.LASTSAVED_TM, filetime)
summary.set_string(Libmsi.Property.UUID, "{" + code.upper() + "}")
summary.persist()
database.commit()
