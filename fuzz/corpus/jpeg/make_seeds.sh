#!/usr/bin/env bash
# Makes the JPEG decoder's test pictures, which are also the JPEG fuzzer's seeds. ImageMagick draws
# them; a small encoder over libjpeg (the distribution's libjpeg62-turbo-dev) writes the kinds that
# ImageMagick does not: CMYK with and without Adobe's marker, arithmetic coding, restart markers;
# perl makes broken and hostile files from small ones.
#   fuzz/corpus/jpeg/make_seeds.sh
#
# The colour pictures are 960 x 128: a blurred plasma (a photo's smooth areas and edges) above three
# patches, red, green and blue, each 320 x 48. At display size 160 such a picture is decoded at 1/4
# of its size, at 480 at 1/2.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cat >"$work/encode.c" <<'EOF'
/* encode WIDTH HEIGHT KIND [progressive] [arithmetic] [restart] < samples > file.jpg
   KIND: grey, rgb, cmyk (Adobe's marker, inks inverted as Photoshop writes them), plain-cmyk (no
   marker, inks as they are) or ycck (Adobe's marker, inverted). Samples: 8 bits, interleaved; CMYK
   as ink amounts. */
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <jpeglib.h>

int main(int argc, char** argv) {
  struct jpeg_compress_struct c;
  struct jpeg_error_mgr err;
  const char* kind = argv[3];
  int inverted = !strcmp(kind, "cmyk") || !strcmp(kind, "ycck");
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  jpeg_stdio_dest(&c, stdout);
  c.image_width = atoi(argv[1]);
  c.image_height = atoi(argv[2]);
  c.input_components = !strcmp(kind, "grey") ? 1 : !strcmp(kind, "rgb") ? 3 : 4;
  c.in_color_space = c.input_components == 1 ? JCS_GRAYSCALE : c.input_components == 3 ? JCS_RGB : JCS_CMYK;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 75, TRUE);
  c.optimize_coding = TRUE;
  if (!strcmp(kind, "ycck")) jpeg_set_colorspace(&c, JCS_YCCK);
  if (!strcmp(kind, "plain-cmyk")) c.write_Adobe_marker = FALSE;
  for (int i = 4; i < argc; ++i) {
    if (!strcmp(argv[i], "progressive")) jpeg_simple_progression(&c);
    if (!strcmp(argv[i], "arithmetic")) c.arith_code = TRUE, c.optimize_coding = FALSE;
    if (!strcmp(argv[i], "restart")) c.restart_in_rows = 1;
  }
  jpeg_start_compress(&c, TRUE);
  size_t stride = (size_t)c.image_width * c.input_components;
  JSAMPLE* row = malloc(stride);
  while (c.next_scanline < c.image_height) {
    if (fread(row, 1, stride, stdin) != stride) return 1;
    for (size_t i = 0; inverted && i < stride; ++i) row[i] = 255 - row[i];
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  free(row);
  return 0;
}
EOF
cc -O2 -o "$work/encode" "$work/encode.c" -ljpeg

convert -size 960x80 -seed 7 plasma:fractal -blur 0x2 \( -size 320x48 xc:red xc:lime xc:blue +append \) -append \
  "$work/picture.png"
convert "$work/picture.png" -quality 75 "$here/photo.jpg"
convert "$work/picture.png" -quality 75 -interlace JPEG "$here/progressive.jpg"
convert "$work/picture.png" -quality 75 -colorspace Gray "$here/grey.jpg"
# CMYK files hold every ink at full resolution: only the lower half, to stay small.
convert "$work/picture.png" -gravity south -crop 960x64+0+0 +repage -colorspace CMYK -depth 8 "cmyk:$work/picture.cmyk"
for kind in cmyk plain-cmyk ycck; do
  "$work/encode" 960 64 "$kind" <"$work/picture.cmyk" >"$here/$kind.jpg"
done

# Small ones: other codings, and chroma halved across only.
convert "$work/picture.png" -resize 120x16! -depth 8 "rgb:$work/small.rgb"
"$work/encode" 120 16 rgb arithmetic restart <"$work/small.rgb" >"$here/arithmetic_restart.jpg"
"$work/encode" 120 16 rgb progressive arithmetic <"$work/small.rgb" >"$here/arithmetic_progressive.jpg"
convert "$work/picture.png" -resize 120x16! -quality 90 -sampling-factor 2x1 "$here/small.jpg"
convert -size 8x8 xc:'gray(40%)' -colorspace Gray -interlace JPEG "$here/small_progressive.jpg"

# 20000 x 20000 of grey 128 in 125 bytes: arithmetic coding makes almost nothing of its blocks, all 0.
head -c 400000000 /dev/zero | tr '\0' '\200' | "$work/encode" 20000 20000 grey arithmetic >"$here/huge_grey.jpg"

# Broken and hostile files made from the small ones: patch FILE MARKER OFFSET LENGTH HEX writes FILE
# with the LENGTH bytes found OFFSET bytes after its first marker 0xFF MARKER replaced by HEX.
patch() {
  perl -e 'my ($file, $marker, $offset, $length, $hex) = @ARGV; open(my $in, "<:raw", $file) or die; local $/;
    my $bytes = <$in>; substr($bytes, index($bytes, "\xFF" . chr(hex $marker)) + $offset, $length) = pack("H*", $hex);
    binmode STDOUT; print $bytes' "$@"
}
patch "$here/small.jpg" C0 4 1 0c >"$here/twelve_bit.jpg"
patch "$here/small.jpg" C0 7 2 ffff >"$here/wide_65535.jpg"
patch "$here/small.jpg" C0 11 1 00 >"$here/zero_sampling.jpg"
patch "$here/small.jpg" DA 0 0 0000 >"$here/extraneous_bytes.jpg"
patch "$here/small_progressive.jpg" C2 5 4 ea60ea60 >"$here/huge_progressive.jpg"
perl -e 'open(my $in, "<:raw", $ARGV[0]) or die; local $/; my $bytes = <$in>; my $scan = index($bytes, "\xFF\xDA");
  binmode STDOUT; print substr($bytes, 0, $scan + (length($bytes) - $scan) / 2)' "$here/small.jpg" >"$here/cut_in_scan.jpg"
# 600 scans: the last one repeated, which libjpeg only warns of, decoding each again.
perl -e 'open(my $in, "<:raw", $ARGV[0]) or die; local $/; my $bytes = <$in>; my $end = length($bytes) - 2;
  my $last = rindex($bytes, "\xFF\xDA"); my $scans = () = $bytes =~ /\xFF\xDA/g;
  binmode STDOUT; print substr($bytes, 0, $end), substr($bytes, $last, $end - $last) x (600 - $scans), "\xFF\xD9"' \
  "$here/small_progressive.jpg" >"$here/600_scans.jpg"
# Orientation 6 (turned a quarter clockwise) in an Exif segment after the start marker.
perl -e 'open(my $in, "<:raw", $ARGV[0]) or die; local $/; my $bytes = <$in>;
  my $exif = "Exif\0\0II" . pack("vVv", 42, 8, 1) . pack("vvVvv", 0x0112, 3, 1, 6, 0) . pack("V", 0);
  binmode STDOUT; print substr($bytes, 0, 2), "\xFF\xE1", pack("n", length($exif) + 2), $exif, substr($bytes, 2)' \
  "$here/photo.jpg" >"$here/photo_turned.jpg"
# Grey progressive pictures whose scans are all runs of empty blocks, slow to decode for their few bytes:
# one DC scan and AC scans, each a pass over every block with end-of-band runs of 2^14 and more.
empty_blocks() {
  perl -e 'my ($side, $ac) = @ARGV;
    my $jpeg = pack("C*", 0xFF, 0xD8, 0xFF, 0xDB, 0, 67, 0) . "\x01" x 64;  # quantisation: all ones
    my ($hi, $lo) = ($side >> 8 & 0xFF, $side & 0xFF);
    $jpeg .= pack("C*", 0xFF, 0xC2, 0, 11, 8, $hi, $lo, $hi, $lo, 1, 1, 0x11, 0);
    # One code each, "0": a DC difference of 0; an AC run of 2^14 and more empty blocks (EOB14).
    $jpeg .= pack("C*", 0xFF, 0xC4, 0, 20, $_, 1) . "\0" x 15 . chr($_ ? 0xE0 : 0) for (0x00, 0x10);
    my ($bits, $held) = (0, 0);
    sub put {
      my ($value, $count) = @_;
      for (my $i = $count - 1; $i >= 0; --$i) {
        $bits = $bits << 1 | ($value >> $i & 1);
        next unless ++$held == 8;
        $jpeg .= chr($bits) . ($bits == 0xFF ? "\0" : "");  # 0xFF stuffed
        $bits = $held = 0;
      }
    }
    my $blocks = ($side / 8) ** 2;
    my $runs = int(($blocks + 32766) / 32767);
    for my $scan (0 .. $ac) {
      $jpeg .= pack("C*", 0xFF, 0xDA, 0, 8, 1, 1, 0, $scan ? 1 : 0, $scan ? 63 : 0, 0);
      for my $i (0 .. ($scan ? $runs : $blocks) - 1) {
        put(0, 1);
        put(int($blocks / $runs) + ($i < $blocks % $runs ? 1 : 0) - 16384, 14) if $scan;
      }
      put(1, 1) while $held;
    }
    binmode STDOUT;
    print $jpeg, "\xFF\xD9"' "$@"
}
empty_blocks 8192 600 >"$here/empty_blocks_8192_600.jpg"
empty_blocks 4096 299 >"$here/empty_blocks_4096_299.jpg"
