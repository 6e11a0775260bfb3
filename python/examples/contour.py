"""The maximum distance of the tavo link over two of its inputs, as a contour.

    python3 python/examples/contour.py [PICTURE]     (docs/python-contour.png)

One sweep of the fibre's attenuation per number of connectors, the link at
its initial figures marked; the labels come from the calculator's
description.
"""

import sys

import matplotlib.pyplot as plt
import numpy as np
from matplotlib.ticker import MaxNLocator

import vantero

about = vantero.describe("tavo")["inputs"]
connectors = np.arange(0, 21)
attenuation = np.linspace(0.2, 1.0, 161)
distance = np.array([
    vantero.sweep("tavo", "fibreAttenuation", attenuation, connectorCount=n)["maximumDistance"]
    for n in connectors
])
initial = vantero.calculate("tavo")
here = (float(initial["inputs"]["fibreAttenuation"]), float(initial["inputs"]["connectorCount"]))

figure, axes = plt.subplots(figsize=(7, 4.5), dpi=100)
filled = axes.contourf(attenuation, connectors, distance, levels=16, cmap="viridis")
lines = axes.contour(attenuation, connectors, distance, levels=[20, 30, 40, 50, 60, 70],
                     colors="white", linewidths=0.8)
axes.clabel(lines, fmt="%d km")
axes.plot(*here, "o", color="white", markeredgecolor="black")
axes.annotate(f"valores iniciais: {initial['results']['maximumDistance']['text']} km", here,
              xytext=(8, 8), textcoords="offset points", color="white")
axes.set_xlabel(about["fibreAttenuation"]["label"])
axes.set_ylabel(about["connectorCount"]["label"])
axes.yaxis.set_major_locator(MaxNLocator(integer=True))
axes.set_title("tavo: distância máxima (km) a 34 Mbit/s")
figure.colorbar(filled, label="km")
figure.tight_layout()
figure.savefig(sys.argv[1] if len(sys.argv) > 1 else "docs/python-contour.png")
