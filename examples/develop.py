#!/usr/bin/env python3
"""Develops a synthetic raw mosaic through the whole orvex pipeline into a PNG.

Usage: python examples/develop.py [output.png]

The scene (colour patches over a smooth gradient) is sampled through an RGGB
filter, darkened towards the corners, scaled to 12-bit raw values with a black
level and marked bad pixels; the pipeline then undoes all of it and renders
sRGB-like 8-bit output, plus a grey-scale version through a tone table.
"""

import sys
from pathlib import Path

import numpy as np
from PIL import Image

import orvex

HEIGHT, WIDTH = 480, 720
BLACK, WHITE = 256, 4095
RGGB = [0, 1, 1, 2]


def synthetic_raw(rng: np.random.Generator) -> np.ndarray:
    rows, cols = np.mgrid[0:HEIGHT, 0:WIDTH] / np.array([HEIGHT, WIDTH]).reshape(2, 1, 1)
    scene = np.stack([0.2 + 0.6 * cols, 0.25 + 0.5 * rows, 0.7 - 0.5 * cols * rows], axis=2)
    colours = rng.uniform(0.05, 0.9, (4, 6, 3))
    for r in range(4):
        for c in range(6):
            top, left = 40 + r * 105, 40 + c * 110
            scene[top:top + 80, left:left + 85] = colours[r, c]
    radius2 = ((rows - 0.5) ** 2 + (cols - 0.5) ** 2) / 0.5
    scene *= (1 / (1 + 0.4 * radius2))[..., None]  # lens fall-off
    channel = np.array(RGGB).reshape(2, 2)[np.arange(HEIGHT)[:, None] % 2, np.arange(WIDTH)[None, :] % 2]
    mosaic = np.take_along_axis(scene, channel[..., None], axis=2)[..., 0]
    raw = BLACK + mosaic * (WHITE - BLACK) + rng.normal(0, 6, mosaic.shape)
    raw = np.clip(raw, 1, WHITE).astype(np.uint16)
    raw.flat[rng.choice(raw.size, 300, replace=False)] = 0  # bad pixels marked with 0
    return raw


def develop(raw: np.ndarray) -> tuple:
    raw = orvex.fix_bad_pixels_constant(raw, constant=0, bayer_phase=1)
    mosaic = orvex.normalize_raw(raw, black_level=[[BLACK]], white_level=[WHITE])
    orvex.apply_flat_gain_map(mosaic, np.full((3, 3), 1.0, np.float32))
    orvex.apply_gain_map_cfa(mosaic, np.full((2, 2, 1), 1.02, np.float32), map_spacing_v=1, map_spacing_h=1,
                             row_pitch=2, col_pitch=2)  # the red sites
    rgb = orvex.bilinear_demosaic(mosaic, cfa_pattern=RGGB)
    orvex.fix_vignette(rgb, coefficients=[0.4], center_x=0.5, center_y=0.5)
    rgb = orvex.warp_rectilinear(rgb, coefficients=[1.0, 0.01, 0.0, 0.0], cubic=True)
    orvex.apply_gain_map(rgb, np.ones((2, 2, 1), np.float32), map_spacing_v=1, map_spacing_h=1)
    orvex.map_polynomial(rgb, coefficients=[0.0, 1.0])
    camera_to_output = [1.3, -0.2, -0.1, -0.1, 1.2, -0.1, 0.0, -0.25, 1.25]
    rgb = orvex.map_strips(orvex.transform_color, rgb, matrix=camera_to_output, threads=2)
    rgb = orvex.clip_and_transform_color(rgb, clip_limits=[1, 1, 1], matrix=np.eye(3))
    hue_sat = np.tile(np.array([0, 1.05, 1], np.float32), (6, 3, 1))  # 5 % more saturation
    orvex.apply_hue_sat_map(rgb, hue_sat)
    orvex.apply_profile_gain_table_map(rgb, np.array([[[1.1, 1.0, 0.95]]], np.float32), map_spacing_v=1,
                                       map_spacing_h=1, input_weights=[0.3, 0.6, 0.1, 0, 0])
    rgb = orvex.apply_exposure_ramp(rgb, white=0.95, black=0.01, toe_width=0.02)
    gamma = (np.linspace(0, 1, 1024) ** (1 / 2.2)).astype(np.float32)
    rendered = orvex.transform_color(rgb, np.uint8, input_curve=gamma)
    grey = orvex.mono_lut(np.ascontiguousarray(rgb[..., 1]), gamma, np.uint8)
    return rendered, grey


def main() -> None:
    output = Path(sys.argv[1] if len(sys.argv) > 1 else "develop.png")
    rendered, grey = develop(synthetic_raw(np.random.default_rng(2026)))
    Image.fromarray(rendered).save(output)
    Image.fromarray(grey).save(output.with_name(output.stem + "-grey.png"))
    vng = "not provided"
    try:
        orvex.vng_demosaic(np.zeros((2, 2), np.float32), RGGB)
    except NotImplementedError:
        pass
    else:
        vng = "provided"
    print(f"orvex {orvex.__version__}: wrote {output} ({rendered.shape[1]} x {rendered.shape[0]}, "
          f"mean {rendered.mean():.1f}) and its grey version; VNG demosaic {vng}")


if __name__ == "__main__":
    main()
