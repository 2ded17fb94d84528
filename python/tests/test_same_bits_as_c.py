"""One call of every export through the package and through a C program that
loads the same library file: the destinations must agree to the byte."""

import shutil
import subprocess
import sys
from pathlib import Path

import numpy as np
import pytest

import orvex

HEADER_DIR = Path(__file__).resolve().parents[2] / "include"
H, W = 37, 53  # odd sizes, so vector loops finish with tails


def compiler():
    return shutil.which("cc") or shutil.which("gcc") or shutil.which("clang")


pytestmark = pytest.mark.skipif(sys.platform == "win32" or compiler() is None, reason="needs a C compiler and dlopen")


@pytest.fixture(scope="module")
def driver_outputs(tmp_path_factory):
    """Writes the inputs, builds and runs the C driver, and returns (inputs, outputs by export)."""
    folder = tmp_path_factory.mktemp("same_bits")
    rng = np.random.default_rng(12)
    raw = rng.integers(0, 4096, (H, W), dtype=np.uint16)
    raw[::7, ::5] = 0  # marked bad pixels
    inputs = {
        "raw": raw,
        "mosaic": rng.uniform(-0.05, 1.05, (H, W)).astype(np.float32),
        "rgb": rng.uniform(-0.1, 1.2, (H, W, 3)).astype(np.float32),
        "rgb16": rng.integers(0, 4500, (H, W, 3), dtype=np.uint16),
        "black_level": np.array([100, 200, 300, 400], np.float32),
        "white_level": np.array([4095], np.float32),
        "black_delta_h": np.array([0, 5], np.float32),
        "input_curve": np.array([0, 0.3, 0.55, 0.8, 1], np.float32),
        "matrix": np.array([1.6, -0.4, -0.2, -0.3, 1.5, -0.2, 0.1, -0.5, 1.4], np.float32),
        "output_curve": np.sqrt(np.linspace(0, 1, 7)).astype(np.float32),
        "clip_limits": np.array([0.9, 1.0, 0.8], np.float32),
        "hue_sat_table": np.stack([rng.uniform(-20, 20, 48), rng.uniform(0.7, 1.3, 48), rng.uniform(0.8, 1.2, 48)],
                                  axis=1).astype(np.float32).reshape(2, 6, 4, 3),
        "gain_table": rng.uniform(0.5, 2, (3, 4, 5)).astype(np.float32),
        "input_weights": np.array([0.3, 0.5, 0.2, 0.1, 0.1], np.float32),
        "lut": np.linspace(0, 1, 17).astype(np.float32) ** 2,
        "gain_map": rng.uniform(0.8, 1.3, (3, 4, 2)).astype(np.float32),
        "flat_map": rng.uniform(0.8, 1.3, (3, 5)).astype(np.float32),
        "vignette": np.array([0.3, -0.1, 0.05]),
        "radial": np.array([[1, 0.02, -0.01, 0.003], [1, 0.01, 0, 0], [1.002, 0.03, -0.02, 0.001]]),
        "tangential": np.array([[0.001, -0.002], [0, 0], [-0.001, 0.001]]),
        "polynomial": np.array([0.01, 0.9, 0.2, -0.1], np.float32),
    }
    for name, array in inputs.items():
        (folder / f"{name}.bin").write_bytes(np.ascontiguousarray(array).tobytes())
    program = folder / "c_driver"
    source = Path(__file__).with_name("c_driver.c")
    flags = ["-std=gnu11", "-O1", "-Wall", "-Wextra", "-Werror", f"-I{HEADER_DIR}"]
    subprocess.run([compiler(), *flags, str(source), "-o", str(program), "-ldl"], check=True)
    subprocess.run([str(program), str(orvex.library_path()), str(folder), str(H), str(W)], check=True)
    outputs = {}
    for path in folder.glob("out_*.bin"):
        data = path.read_bytes()
        outputs[path.stem[4:]] = (int(np.frombuffer(data[:4], np.int32)[0]), data[4:])
    return inputs, outputs


def package_results(i):
    """The same calls through the package, as {export: bytes of the destination}."""
    copy = lambda name: i[name].copy()  # noqa: E731
    cfa = [0, 1, 1, 2]
    return {
        "convert_dtype": orvex.convert_dtype(i["rgb"], np.uint16, dst_bits=12),
        "normalize_raw": orvex.normalize_raw(i["raw"], i["black_level"].reshape(2, 2), i["white_level"],
                                             black_delta_h=i["black_delta_h"]),
        "bilinear_demosaic": orvex.bilinear_demosaic(i["mosaic"], cfa),
        "transform_color": orvex.transform_color(i["rgb16"], np.uint8, input_curve=i["input_curve"],
                                                 matrix=i["matrix"], output_curve=i["output_curve"], src_bits=12),
        "clip_and_transform_color": orvex.clip_and_transform_color(i["rgb"], i["clip_limits"], i["matrix"]),
        "apply_hue_sat_map": orvex.apply_hue_sat_map(copy("rgb"), i["hue_sat_table"]),
        "apply_exposure_ramp": orvex.apply_exposure_ramp(i["rgb"], 0.8, 0.02, 0.05),
        "apply_profile_gain_table_map": orvex.apply_profile_gain_table_map(
            copy("rgb"), i["gain_table"], map_spacing_v=0.5, map_spacing_h=0.25, map_origin_v=0.1,
            input_weights=i["input_weights"], gamma=0.8, input_scale=1.1),
        "mono_lut": orvex.mono_lut(i["mosaic"], i["lut"], np.uint16, dst_bits=12),
        "apply_gain_map": orvex.apply_gain_map(copy("rgb"), i["gain_map"], map_spacing_v=0.5, map_spacing_h=1 / 3,
                                               top=2, left=3, bottom=30, right=50, plane=1, col_pitch=2),
        "apply_gain_map_cfa": orvex.apply_gain_map_cfa(copy("mosaic"), i["gain_map"].reshape(-1)[:12].reshape(4, 3, 1),
                                                       map_spacing_v=1 / 3, map_spacing_h=0.5, row_pitch=2,
                                                       col_pitch=2),
        "apply_flat_gain_map": orvex.apply_flat_gain_map(copy("mosaic"), i["flat_map"]),
        "fix_vignette": orvex.fix_vignette(copy("rgb"), i["vignette"], 0.45, 0.55),
        "warp_rectilinear": orvex.warp_rectilinear(i["rgb"], i["radial"], i["tangential"], cubic=True),
        "map_polynomial": orvex.map_polynomial(copy("mosaic"), i["polynomial"]),
        "fix_bad_pixels_constant": orvex.fix_bad_pixels_constant(i["raw"], 0, 1),
    }


def test_every_export_gives_the_bytes_of_the_c_call(driver_outputs):
    inputs, outputs = driver_outputs
    results = package_results(inputs)
    assert sorted(outputs) == sorted([*results, "vng_demosaic"])
    for name, result in results.items():
        status, expected = outputs[name]
        assert status == 0, name
        assert result.tobytes() == expected, f"{name} differs from the C call"
    assert outputs["vng_demosaic"][0] == 2
    with pytest.raises(orvex.UnsupportedError):
        orvex.vng_demosaic(inputs["mosaic"], [0, 1, 1, 2])
