# The profile edit the profile module makes for scanners chosen one by one:
# every deviceno line, however written, becomes a comment, and nothing else
# moves, so zrctl's "FILE:LINE" messages still point into the user's file.
# Run by scripts/test.d/45-ansible.sh with the module_utils folder on
# sys.path.
import unittest

from profile_text import without_deviceno

OUT = b"# deviceno left out: each scanner keeps its own"


class WithoutDeviceno(unittest.TestCase):
    def test_line_ends_byte_order_mark_and_line_numbers_kept(self):
        text = b"\xef\xbb\xbfmasterver=V2.0.7\r\ndeviceno=A-1\r\rqrcode=1"
        self.assertEqual(without_deviceno(text),
                         b"\xef\xbb\xbfmasterver=V2.0.7\r\n" + OUT + b"\r\rqrcode=1")

    def test_an_escaped_key_is_still_deviceno(self):
        self.assertEqual(without_deviceno(b"\\x64evice\\x6Eo=B-2\n"), OUT + b"\n")

    def test_comments_and_near_names_are_left(self):
        for text in (b"  # deviceno=A-1\n", b" deviceno=A-1\n", b"deviceno2=A\n",
                     b"devicenoA-1\n", b"device\\\\no=A\n", b"qrcode=deviceno=1\n"):
            self.assertIsNone(without_deviceno(text), text)

    def test_every_deviceno_line(self):
        self.assertEqual(without_deviceno(b"deviceno=A\nqrcode=1\ndeviceno=B\n"),
                         OUT + b"\nqrcode=1\n" + OUT + b"\n")


if __name__ == "__main__":
    unittest.main()
