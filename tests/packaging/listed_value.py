#!/usr/bin/env python3
"""A value from wmihost's JSON Lines output (one line per request):

    listed_value.py FILE LINE EXPRESSION

prints EXPRESSION, a Python expression over `objects`, the instances that
the request on line LINE (counted from 0) delivered."""
import json
import sys

path, line, expression = sys.argv[1:4]
with open(path, encoding="utf-8") as output:
    objects = json.loads(output.read().splitlines()[int(line)])["objects"]
print(eval(expression, {"objects": objects}))
