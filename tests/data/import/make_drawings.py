#!/usr/bin/python3
# Writes the DXF drawings the import tests read (Debian's python3-ezdxf). Run from this folder:
#     /usr/bin/python3 make_drawings.py
import ezdxf

# No point lies at the origin, where the program keeps no node.
# R12: lines, a flat polyline at elevation 100, a 3-D polyline, a block definition holding a line (inserted
# once), and a layer and a text both called "LINE".
doc = ezdxf.new("R12")
doc.layers.add("LINE")
msp = doc.modelspace()
msp.add_line((5, 5, 0), (100, 5, 0))
msp.add_line((100, 5, 0), (100, 50, -20), dxfattribs={"layer": "LINE"})
msp.add_polyline2d([(5, 5), (10, 5), (10, 10)], dxfattribs={"elevation": (0, 0, 100)})
msp.add_polyline3d([(5, 5, 0), (5, 5, -50), (20, 5, -50)])
msp.add_text("LINE", dxfattribs={"layer": "LINE"})
block = doc.blocks.new("PUMP")
block.add_line((0, 0, 0), (5, 5, 0))
msp.add_blockref("PUMP", (200, 200, 0))
doc.saveas("r12.dxf")

# R2010: a light polyline at elevation 100 with two equal vertices in a row, one without an elevation
# after it, a light polyline of a single vertex, a 3-D line, and a block.
doc = ezdxf.new("R2010")
msp = doc.modelspace()
msp.add_lwpolyline([(5, 5), (50, 5), (50, 5), (50, 50)], dxfattribs={"elevation": 100})
msp.add_lwpolyline([(5, 5), (5, 30), (30, 30)])
msp.add_lwpolyline([(7, 7)])
msp.add_line((1, 2, 3), (4, 5, 6))
block = doc.blocks.new("FAN")
block.add_line((0, 0, 0), (5, 5, 0))
block.add_lwpolyline([(0, 0), (1, 1)])
msp.add_blockref("FAN", (300, 300))
doc.saveas("r2010.dxf")
