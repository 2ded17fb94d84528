"""The package as installed: version, library, typing and documentation."""

import importlib.metadata
import inspect
import os
import re
import subprocess
import sys
from pathlib import Path

import orvex
from orvex._library import SIGNATURES

PUBLIC = [getattr(orvex, name) for name in orvex.__all__ if callable(getattr(orvex, name))
          and not isinstance(getattr(orvex, name), type)]


def test_version_is_the_library_version():
    assert orvex.__version__ == "1.0.0"
    assert importlib.metadata.version("orvex") == orvex.__version__


def test_one_function_per_export_with_the_header_s_parameter_count():
    header = (Path(__file__).resolve().parents[2] / "include" / "orvex.h").read_text()
    declared = {name: params for name, params in re.findall(r"ORVEX_API [^;]*?orvex_(\w+)\(([^)]*)\);", header)}
    assert declared.pop("version") == "void"
    assert sorted(declared) == sorted(SIGNATURES)
    for name, params in declared.items():
        assert len(SIGNATURES[name]) == params.count(",") + 1, name
        assert callable(getattr(orvex, name)) and name in orvex.__all__
    if "ORVEX_LIBRARY" not in os.environ:
        assert orvex.library_path().parent == Path(orvex.__file__).parent
    assert (Path(orvex.__file__).parent / "py.typed").exists()


def test_every_function_is_typed_and_documents_every_parameter():
    for function in PUBLIC:
        signature = inspect.signature(function)
        assert signature.return_annotation is not inspect.Signature.empty, function.__name__
        doc = inspect.getdoc(function)
        for name, parameter in signature.parameters.items():
            if parameter.kind not in (parameter.VAR_POSITIONAL, parameter.VAR_KEYWORD):
                assert parameter.annotation is not inspect.Parameter.empty, f"{function.__name__}({name})"
            assert f"{name}:" in doc, f"{function.__name__} does not document {name}"


def test_orvex_library_points_at_another_build(tmp_path):
    script = "import orvex; print(orvex.library_path())"
    environment = dict(os.environ, ORVEX_LIBRARY=str(orvex.library_path()))
    shown = subprocess.run([sys.executable, "-c", script], env=environment, capture_output=True, text=True, check=True)
    assert shown.stdout.strip() == str(orvex.library_path())
    environment["ORVEX_LIBRARY"] = str(tmp_path / "missing.so")
    failed = subprocess.run([sys.executable, "-c", script], env=environment, capture_output=True, text=True)
    assert failed.returncode != 0 and "ORVEX_LIBRARY" in failed.stderr and "missing.so" in failed.stderr
