<?xml version="1.0" encoding="UTF-8"?>
<!-- Templates for stylesheets over lshw's hardware tree
     (/QRVCIM/Inventory/Hardware). -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">

  <!-- The device's path in the tree, the ids from below the machine's own
       node down to this one: core/cpu:0, core/memory/bank:1. lshw's ids are
       unique among siblings, so the path identifies the device. -->
  <xsl:template name="device-id">
    <xsl:for-each select="ancestor-or-self::node[ancestor::node]">
      <xsl:if test="position() > 1">/</xsl:if>
      <xsl:value-of select="@id"/>
    </xsl:for-each>
  </xsl:template>

  <!-- $hertz in whole megahertz; nothing when it is no number. -->
  <xsl:template name="megahertz">
    <xsl:param name="hertz"/>
    <xsl:if test="string(number($hertz)) != 'NaN'">
      <xsl:value-of select="floor($hertz div 1000000)"/>
    </xsl:if>
  </xsl:template>
</xsl:stylesheet>
