"""Checks every saved study in a folder against the published JSON Schema.

    python3 ValidateStudies.py docs/study.schema.json FOLDER
"""
import json
import pathlib
import sys

import jsonschema


def main(schema_path, folder):
    schema = json.loads(pathlib.Path(schema_path).read_text())
    jsonschema.Draft202012Validator.check_schema(schema)
    validator = jsonschema.Draft202012Validator(schema)
    studies = sorted(pathlib.Path(folder).glob("*.json"))
    if not studies:
        print(f"no saved study in {folder}")
        return 1
    failed = 0
    for path in studies:
        for error in validator.iter_errors(json.loads(path.read_text())):
            print(f"{path.name}: {error.json_path}: {error.message}")
            failed += 1
    # The schema must refuse what the program refuses: an unknown key.
    sample = json.loads(studies[0].read_text())
    sample["exposures"][0]["colour"] = "red"
    if validator.is_valid(sample):
        print("the schema takes an exposure with an unknown key")
        failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2]))
