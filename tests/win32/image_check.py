"""Checks the built meandra.scr as a file: that it loads on every 32-bit
Windows from 95 on, and that it needs no runtime behind it.
Usage: image_check.py meandra.scr imports-list "object;files;and.a"
"""
import re
import subprocess
import sys
import tempfile
import unittest

OBJDUMP = "i686-w64-mingw32-objdump"
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "winmm.dll"}
MAX_SIZE = 32 * 1024
# cmov arrived with the Pentium Pro; MMX and SSE registers and instructions
# are unknown to the i486 that Windows 95 runs on.
NEWER_THAN_I486 = re.compile(r"\tcmov|\tfcmov|\tfcomi|\tfucomi|%mm\d|%xmm\d|\t(?:emms|movd|movq|pxor|paddd|"
                             r"movaps|movups|movss|movsd|cvt\w+|sfence|lfence|mfence|prefetch\w*|rdtsc|cpuid)\b")


# Sections a compiler fills with constructors that a C runtime would run at
# start-up; without a runtime nobody would run them.
CONSTRUCTOR_SECTIONS = re.compile(r"^\s*\d+\s+(\.ctors|\.init_array|\.CRT\$XC\w*)", re.M)
HEAP_FUNCTIONS = re.compile(r"Alloc|HeapCreate|GlobalLock|LocalLock")


def objdump(*args, file=None):
    return subprocess.run([OBJDUMP, *args, file or IMAGE], capture_output=True, text=True, check=True).stdout


def imported_functions():
    imports, dll = set(), None
    for line in objdump("-p").splitlines():
        match = re.match(r"\s*DLL Name: (\S+)", line)
        if match:
            dll = match.group(1).lower()
            continue
        match = re.match(r"\s+[0-9a-f]+\s+\d+\s+(\w+)$", line)
        if dll and match:
            imports.add((dll, match.group(1)))
    return imports


def allowed_functions():
    allowed = set()
    with open(IMPORTS_LIST) as listing:
        for line in listing:
            line = line.split("#", 1)[0].strip()
            if line:
                dll, function, documented = line.split(None, 2)
                allowed.add((dll.lower(), function))
    return allowed


class Image(unittest.TestCase):
    def test_imports_only_functions_every_platform_provides(self):
        imports = imported_functions()
        self.assertTrue(imports)
        self.assertLessEqual({dll for dll, _ in imports}, SYSTEM_DLLS)
        self.assertEqual(sorted(imports - allowed_functions()), [], "imports missing from the documented list")

    def test_header_asks_for_windows_4_0(self):
        header = objdump("-p")
        for field in ("MajorOSystemVersion", "MajorSubsystemVersion"):
            self.assertRegex(header, rf"{field}\s+4\n")
        for field in ("MinorOSystemVersion", "MinorSubsystemVersion"):
            self.assertRegex(header, rf"{field}\s+0\n")
        self.assertRegex(header, r"Subsystem\s+00000002\s+\(Windows GUI\)")

    def test_code_runs_on_an_i486(self):
        newer = [line for line in objdump("-d").splitlines() if NEWER_THAN_I486.search(line)]
        self.assertEqual(newer[:10], [])

    def test_manifest_declares_dpi_awareness(self):
        with tempfile.TemporaryDirectory() as folder:
            subprocess.run(["wrestool", "-x", "--raw", "-t", "24", "-o", folder, IMAGE], check=True)
            found = subprocess.run(["sh", "-c", f"cat {folder}/*"], capture_output=True, text=True).stdout
        self.assertIn("<dpiAware", found)
        self.assertRegex(found, r"<dpiAware[^>]*>\s*true\s*</dpiAware>")

    def test_no_static_constructors(self):
        self.assertTrue(OBJECTS)
        for path in OBJECTS:
            found = CONSTRUCTOR_SECTIONS.findall(objdump("-h", file=path))
            self.assertEqual(found, [], f"{path} has constructors to run at start-up")

    def test_nothing_comes_from_the_heap(self):
        self.assertEqual(sorted(f for _, f in imported_functions() if HEAP_FUNCTIONS.search(f)), [])

    def test_image_is_small(self):
        with open(IMAGE, "rb") as image:
            size = len(image.read())
        print(f"\nmeandra.scr: {size} bytes ({size / 1024:.1f} KiB of {MAX_SIZE // 1024} KiB)")
        self.assertLessEqual(size, MAX_SIZE)


if __name__ == "__main__":
    IMAGE, IMPORTS_LIST = sys.argv[1], sys.argv[2]
    OBJECTS = [path for path in sys.argv[3].split(";") if path]
    unittest.main(argv=sys.argv[:1], verbosity=2)
